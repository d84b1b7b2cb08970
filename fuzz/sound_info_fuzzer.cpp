// The sound-info answer as the analysis takes it: decoded like a fetched body,
// cut into the work slots, then the two addresses judged as the main window
// does before it loads the cover or plays, copies or downloads the file.

#include "fuzz_support.h"

#include "services/web_address.h"
#include "sound/sound_extraction.h"

#include <QUrl>

namespace {

// The slots the extraction writes; every other one keeps its text.
const QList<int> ExtractedSlots = {
    CoverPieceSlot,  CoverUrlSlot,    SourcePieceSlot, FileUrlSlot,    NamePieceSlot,  SoundNameSlot,
    SingerPieceSlot, SingerSlot,      InfoPieceSlot,   InfoRawSlot,    ShortNameSlot,  PlayPieceSlot,
    PlayCountSlot,   FanPieceSlot,    FanCountSlot,    SharePieceSlot, ShareCountSlot, CreatePieceSlot,
    CreateTimeSlot,  PublishTimeSlot, ShortSingerSlot, InfoTextSlot};

// "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss", digits where digits belong.
bool looksLikePublishTime(const QString &text)
{
    static const QString shape = QStringLiteral("0000-00-00 00:00:00");
    if (text.size() != 10 && text.size() != shape.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool digit = shape.at(i) == u'0';
        if (digit ? !(text.at(i) >= u'0' && text.at(i) <= u'9') : text.at(i) != shape.at(i))
            return false;
    }
    return true;
}

void checkAddress(const QString &address)
{
    if (!IsWebAddress(address))
        return;
    // What the player, the picture fetch and the download receive.
    const QUrl url(address);
    FUZZ_CHECK(!url.isLocalFile(), address);
    FUZZ_CHECK(url.scheme() == u"http" || url.scheme() == u"https", address);
    FUZZ_CHECK(!url.host().isEmpty(), address);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A previous record in every slot, so a partial write shows.
    static const WorkSlots previous = [] {
        WorkSlots table;
        for (int slot = 0; slot < WorkSlots::Count; ++slot)
            table[slot] = QStringLiteral("old %1").arg(slot);
        return table;
    }();
    WorkSlots work = previous;
    work[RawResponseSlot] = FetchedText(FuzzBytes(data, size));
    // Whatever charset the answer names, the text is whole characters.
    FUZZ_CHECK(IsValidUtf16(work[RawResponseSlot]), QString());
    const WorkSlots before = work;
    const ExtractionResult result = ExtractSoundInfo(work);

    if (!result.ok) {
        // All or nothing: the previous record stays whole.
        FUZZ_CHECK(work == before, result.error);
        FUZZ_CHECK(!result.error.isEmpty(), work[RawResponseSlot]);
        return 0;
    }
    for (int slot = 0; slot < WorkSlots::Count; ++slot) {
        if (!ExtractedSlots.contains(slot))
            FUZZ_CHECK(work[slot] == before[slot], QStringLiteral("slot %1 changed").arg(slot));
    }
    FUZZ_CHECK(!work[CoverUrlSlot].contains(u'"'), work[CoverUrlSlot]);
    FUZZ_CHECK(!work[FileUrlSlot].contains(u'?'), work[FileUrlSlot]);
    FUZZ_CHECK(!work[SoundNameSlot].contains(u'"'), work[SoundNameSlot]);
    FUZZ_CHECK(!work[SingerSlot].contains(u' ') && !work[SingerSlot].contains(u'"'), work[SingerSlot]);
    for (int slot : {PlayCountSlot, FanCountSlot, ShareCountSlot, CreateTimeSlot})
        FUZZ_CHECK(!work[slot].contains(u','), work[slot]);
    FUZZ_CHECK(!work[ShareCountSlot].contains(u'"') && !work[CreateTimeSlot].contains(u'"'),
               work[CreateTimeSlot]);
    FUZZ_CHECK(looksLikePublishTime(work[PublishTimeSlot]), work[PublishTimeSlot]);
    FUZZ_CHECK(work[ShortNameSlot].size() <= 11 &&
                   work[SoundNameSlot].startsWith(work[ShortNameSlot].left(8)),
               work[ShortNameSlot]);
    FUZZ_CHECK(work[ShortSingerSlot].size() <= 13, work[ShortSingerSlot]);

    const SoundInfo info = SoundInfo::fromSlots(work);
    checkAddress(info.coverUrl);
    checkAddress(info.fileUrl);
    return 0;
}
