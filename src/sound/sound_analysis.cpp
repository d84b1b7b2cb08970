#include "sound/sound_analysis.h"

#include "sound/sound_extraction.h"
#include "sound/sound_link.h"

AnalysisResult RunSoundAnalysis(const QString &address, const QString &apiHost, const FetchOptions &options)
{
    const QString soundId = SoundIdFromAddress(address);
    const FetchResult fetched = HttpTextFetch(SoundInfoUrl(soundId, apiHost), options);
    if (fetched.isAbandoned())
        return {AnalysisStatus::Abandoned, {}, fetched.error(), 0};
    if (!fetched.ok())
        return {AnalysisStatus::FetchFailed, {}, fetched.error(), fetched.httpStatus()};

    SoundExtraction extracted = ExtractSoundInfo(fetched.text());
    if (!extracted.ok()) {
        QString reason = extracted.reason;
        if (fetched.httpStatus() != 200)
            reason += QStringLiteral(" (HTTP status %1)").arg(fetched.httpStatus());
        return {AnalysisStatus::ExtractFailed, {}, reason, fetched.httpStatus()};
    }
    extracted.record->soundId = soundId;
    return {AnalysisStatus::Done, std::move(*extracted.record), {}, fetched.httpStatus()};
}
