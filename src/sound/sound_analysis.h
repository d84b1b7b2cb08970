#pragma once

#include "services/http_text_fetch.h"
#include "sound/work_slots.h"

#include <QString>

enum class AnalysisStatus {
    Done,          // slots 4 to 35 hold the new record
    FetchFailed,   // nothing arrived; slots 1 and 4 to 35 unchanged
    ExtractFailed, // the answer holds no record; slots 4 to 35 unchanged
    Abandoned,     // cancelled or quitting during the wait; slots 1 and 4 to 35 unchanged
};

struct AnalysisResult
{
    AnalysisStatus status = AnalysisStatus::FetchFailed;
    QString error;      // one line when not Done
    int httpStatus = 0; // of the sound-info answer, 0 when none arrived

    bool ok() const { return status == AnalysisStatus::Done; }
};

// The network half of the analyse action, for an address that passed the
// address check: the sound id into slot 0, the sound-info answer into slot 1,
// then the extraction. Blocks like HttpTextFetch, events keep flowing.
AnalysisResult RunSoundAnalysis(WorkSlots &work, const QString &address, const QString &apiHost,
                                const FetchOptions &options = {});
