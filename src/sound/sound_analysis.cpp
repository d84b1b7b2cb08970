#include "sound/sound_analysis.h"

#include "sound/sound_extraction.h"
#include "sound/sound_link.h"

AnalysisResult RunSoundAnalysis(WorkSlots &work, const QString &address, const QString &apiHost,
                                const FetchOptions &options)
{
    work[SoundIdSlot] = SoundIdFromAddress(address);
    const FetchResult fetched = HttpTextFetch(SoundInfoUrl(work[SoundIdSlot], apiHost), options);
    if (fetched.isAbandoned())
        return {AnalysisStatus::Abandoned, fetched.error(), 0};
    if (!fetched.ok())
        return {AnalysisStatus::FetchFailed, fetched.error(), fetched.httpStatus()};

    work[RawResponseSlot] = fetched.text();
    const ExtractionResult extracted = ExtractSoundInfo(work);
    if (!extracted.ok) {
        QString error = extracted.error;
        if (fetched.httpStatus() != 200)
            error += QStringLiteral(" (HTTP status %1)").arg(fetched.httpStatus());
        return {AnalysisStatus::ExtractFailed, error, fetched.httpStatus()};
    }
    return {AnalysisStatus::Done, {}, fetched.httpStatus()};
}
