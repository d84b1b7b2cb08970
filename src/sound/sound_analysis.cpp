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

QString analysisFailureText(const AnalysisResult &result)
{
    // An extraction's reason is already one of the program's sentences.
    if (result.status != AnalysisStatus::FetchFailed)
        return result.reason;
    // Nothing to fetch, or far more than a record: the address is at fault.
    if (result.failure == FetchFailure::BadAddress || result.failure == FetchFailure::TooLarge)
        return QCoreApplication::translate("SoundAnalysis", "未能获取音乐信息，请检查地址..");
    return QCoreApplication::translate("SoundAnalysis", "网络连接失败，请稍后再试..");
}

void SoundAnalysis::start()
{
    m_request->start();
}

void SoundAnalysis::onFetched(const FetchResult &fetched)
{
    if (fetched.isAbandoned()) {
        emit finished({AnalysisStatus::Abandoned, {}, fetched.error(), 0, fetched.reason()});
        return;
    }
    if (!fetched.ok()) {
        emit finished(
            {AnalysisStatus::FetchFailed, {}, fetched.error(), fetched.httpStatus(), fetched.reason()});
        return;
    }
    SoundExtraction extracted = extractSoundInfo(fetched.text());
    if (!extracted.ok()) {
        QString reason = extracted.reason;
        if (fetched.httpStatus() != 200)
            reason = QCoreApplication::translate("SoundAnalysis", "%1（HTTP 状态码 %2）")
                         .arg(reason)
                         .arg(fetched.httpStatus());
        emit finished({AnalysisStatus::ExtractFailed, {}, reason, fetched.httpStatus()});
        return;
    }
    extracted.record->soundId = m_soundId;
    emit finished({AnalysisStatus::Done, std::move(*extracted.record), {}, fetched.httpStatus()});
}
