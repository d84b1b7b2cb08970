// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/sound_analysis.h"

#include "sound/sound_extraction.h"
#include "sound/sound_link.h"

#include <QCoreApplication>

SoundAnalysis::SoundAnalysis(const QString &address, const QString &apiHost, const FetchOptions &options,
                             QObject *parent)
    : QObject(parent)
    , m_soundId(soundIdFromAddress(address))
    , m_request(new HttpRequest(soundInfoUrl(m_soundId, apiHost), options, BodyAs::Text, this))
{
    connect(m_request, &HttpRequest::finished, this, &SoundAnalysis::onFetched);
}

QString analysisFailureText(const AnalysisError &error)
{
    // An extraction's text is already one of the program's sentences.
    if (std::holds_alternative<ExtractionError>(error.detail))
        return analysisDetailText(error);
    const FetchFailure failure = std::get<FetchError>(error.detail).reason;
    // Nothing to fetch, or far more than a record: the address is at fault.
    if (failure == FetchFailure::BadAddress || failure == FetchFailure::TooLarge)
        return QCoreApplication::translate("SoundAnalysis", "未能获取音乐信息，请检查地址..");
    return QCoreApplication::translate("SoundAnalysis", "网络连接失败，请稍后再试..");
}

QString analysisDetailText(const AnalysisError &error)
{
    if (const auto *fetch = std::get_if<FetchError>(&error.detail))
        return fetchFailureText(*fetch);
    const QString text = extractionFailureText(std::get<ExtractionError>(error.detail));
    // An error page's status tells more than its missing keys.
    if (error.code != 0 && error.code != 200)
        return QCoreApplication::translate("SoundAnalysis", "%1（HTTP 状态码 %2）").arg(text).arg(error.code);
    return text;
}

void SoundAnalysis::start()
{
    m_request->start();
}

void SoundAnalysis::onFetched(const FetchResult &fetched)
{
    if (!fetched) {
        const AnalysisStatus status =
            isAbandoned(fetched) ? AnalysisStatus::Abandoned : AnalysisStatus::FetchFailed;
        emit finished(Unexpected(AnalysisError{status, fetched.error(), fetched.error().code}));
        return;
    }
    SoundExtraction extracted = extractSoundInfo(fetched->text);
    if (!extracted) {
        emit finished(
            Unexpected(AnalysisError{AnalysisStatus::ExtractFailed, extracted.error(), fetched->httpStatus}));
        return;
    }
    extracted->soundId = m_soundId;
    emit finished(std::move(*extracted));
}
