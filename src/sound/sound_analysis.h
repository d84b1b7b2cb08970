#pragma once

#include "services/http_text_fetch.h"
#include "sound/sound_info.h"

#include <QString>

enum class AnalysisStatus {
    Done,          // the record is the new one
    FetchFailed,   // nothing arrived
    ExtractFailed, // the answer holds no record
    Abandoned,     // cancelled or quitting during the wait
};

struct AnalysisResult
{
    AnalysisStatus status = AnalysisStatus::FetchFailed;
    SoundInfo record;   // when Done
    QString reason;     // one line when not Done
    int httpStatus = 0; // of the sound-info answer, 0 when none arrived

    bool ok() const { return status == AnalysisStatus::Done; }
};

// The network half of the analyse action, for an address that passed the
// address check: fetches the sound-info answer and extracts the record.
// Blocks like HttpTextFetch, events keep flowing.
AnalysisResult RunSoundAnalysis(const QString &address, const QString &apiHost,
                                const FetchOptions &options = {});
