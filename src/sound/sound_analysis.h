// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"
#include "sound/sound_info.h"

#include <QObject>
#include <QString>

enum class AnalysisStatus {
    Done,          // the record is the new one
    FetchFailed,   // nothing arrived
    ExtractFailed, // the answer holds no record
    Abandoned,     // the program is ending
};

struct AnalysisResult
{
    AnalysisStatus status = AnalysisStatus::FetchFailed;
    SoundInfo record;                          // when Done
    QString reason;                            // one line when not Done
    int httpStatus = 0;                        // of the sound-info answer, 0 when none arrived
    FetchFailure failure = FetchFailure::None; // why nothing arrived, when FetchFailed

    bool ok() const { return status == AnalysisStatus::Done; }
};

// The program's own sentence for a failed analysis, for rows and lines
// people read; reason keeps the network's raw words for --verbose.
QString analysisFailureText(const AnalysisResult &result);

// The network half of the analyse action, for an address that passed the
// address check: fetches the sound-info answer and extracts the record,
// ending in one finished(result) from the event loop. Destroying it cancels
// it quietly; a newer analysis does just that to an older one.
class SoundAnalysis : public QObject
{
    Q_OBJECT

public:
    SoundAnalysis(const QString &address, const QString &apiHost, const FetchOptions &options = {},
                  QObject *parent = nullptr);
    void start();
    QString soundId() const { return m_soundId; }

signals:
    void finished(const AnalysisResult &result);

private:
    void onFetched(const FetchResult &fetched);

    const QString m_soundId;
    HttpRequest *m_request;
};
