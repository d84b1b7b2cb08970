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

void SoundAnalysis::start()
{
    m_request->start();
}

void SoundAnalysis::onFetched(const FetchResult &fetched)
{
    if (fetched.isAbandoned()) {
        emit finished({AnalysisStatus::Abandoned, {}, fetched.error(), 0});
        return;
    }
    if (!fetched.ok()) {
        emit finished({AnalysisStatus::FetchFailed, {}, fetched.error(), fetched.httpStatus()});
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
