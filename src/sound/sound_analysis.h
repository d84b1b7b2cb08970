// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"
#include "sound/sound_extraction.h"
#include "sound/sound_info.h"

#include <QObject>
#include <QString>

#include <variant>

enum class AnalysisStatus {
    Done,          // the record is the new one
    FetchFailed,   // nothing arrived
    ExtractFailed, // the answer holds no record
    Abandoned,     // the program is ending
};

// What stopped an analysis: the fetch's failure (FetchFailed, Abandoned) or
// the extraction's (ExtractFailed); code is the answer's HTTP status, 0 when
// none arrived.
using AnalysisError = Failure<AnalysisStatus, std::variant<FetchError, ExtractionError>>;
using AnalysisResult = Expected<SoundInfo, AnalysisError>;

// The program's own sentence for a failed analysis, for rows and lines
// people read.
QString analysisFailureText(const AnalysisError &error);
// What the network or the answer said, for --verbose and the command line.
QString analysisDetailText(const AnalysisError &error);

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
