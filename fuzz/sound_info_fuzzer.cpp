// The sound-info answer as the analysis takes it: decoded like a fetched body,
// cut into the work slots, then the two addresses judged as the main window
// does before it loads the cover or plays, copies or downloads the file.
// Every value is compared with a plain cut by splitting the whole answer, and
// the publishing time with a calendar computed apart from Qt's.

#include "fuzz_support.h"

#include "services/web_address.h"
#include "sound/sound_extraction.h"

#include <QStringList>
#include <QUrl>

#include <chrono>
#include <cmath>
#include <optional>

namespace {

// The slots the extraction writes; every other one keeps its text.
const QList<int> ExtractedSlots = {
    CoverPieceSlot,  CoverUrlSlot,    SourcePieceSlot, FileUrlSlot,    NamePieceSlot,  SoundNameSlot,
    SingerPieceSlot, SingerSlot,      InfoPieceSlot,   InfoRawSlot,    ShortNameSlot,  PlayPieceSlot,
    PlayCountSlot,   FanPieceSlot,    FanCountSlot,    SharePieceSlot, ShareCountSlot, CreatePieceSlot,
    CreateTimeSlot,  PublishTimeSlot, ShortSingerSlot, InfoTextSlot};

std::optional<QString> splitPiece(const QString &text, const QString &pattern, int n)
{
    const QStringList pieces = text.split(pattern);
    return n < pieces.size() ? std::optional<QString>(pieces.at(n)) : std::nullopt;
}

QString before(const QString &text, QChar stop)
{
    const qsizetype at = text.indexOf(stop);
    return at < 0 ? QString() : text.left(at);
}

// Seconds since 1970 plus eight hours as a calendar date, years 1 to 9999.
std::optional<QString> calendarTime(const QString &createTime)
{
    bool ok = false;
    const double t = createTime.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(t) || std::abs(t) > 1e13)
        return std::nullopt;
    using namespace std::chrono;
    const sys_seconds moment{seconds(static_cast<long long>(std::floor(t)) + 8 * 3600)};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss clock{moment - day};
    if (int(date.year()) < 1 || int(date.year()) > 9999)
        return std::nullopt;
    QString text = QStringLiteral("%1-%2-%3")
                       .arg(int(date.year()), 4, 10, QChar(u'0'))
                       .arg(unsigned(date.month()), 2, 10, QChar(u'0'))
                       .arg(unsigned(date.day()), 2, 10, QChar(u'0'));
    if (clock.to_duration() != seconds(0)) {
        text += QStringLiteral(" %1:%2:%3")
                    .arg(clock.hours().count(), 2, 10, QChar(u'0'))
                    .arg(clock.minutes().count(), 2, 10, QChar(u'0'))
                    .arg(qlonglong(clock.seconds().count()), 2, 10, QChar(u'0'));
    }
    return text;
}

// The whole record cut by splitting, or nullopt where the extraction must fail.
std::optional<WorkSlots> plainCut(const WorkSlots &work)
{
    struct Cut
    {
        int pieceSlot, valueSlot;
        const char *key;
        bool text;
        int piece;
        QChar stop;
    };
    const Cut cuts[] = {
        {CoverPieceSlot, CoverUrlSlot, "pic_200", true, 1, u'"'},
        {SourcePieceSlot, FileUrlSlot, "source", true, 1, u'?'},
        {NamePieceSlot, SoundNameSlot, "name", true, 1, u'"'},
        {SingerPieceSlot, SingerSlot, "name", true, 2, u'"'},
        {InfoPieceSlot, InfoRawSlot, "info", true, 1, u'"'},
        {PlayPieceSlot, PlayCountSlot, "sound_count", false, 1, u','},
        {FanPieceSlot, FanCountSlot, "follow_count", false, 1, u','},
        {SharePieceSlot, ShareCountSlot, "share_count", false, 1, u','},
        {CreatePieceSlot, CreateTimeSlot, "create_time", false, 1, u','},
    };
    WorkSlots next = work;
    for (const Cut &cut : cuts) {
        const QString pattern = u'"' + QString::fromLatin1(cut.key) + (cut.text ? u"\":\"" : u"\":");
        const std::optional<QString> piece = splitPiece(work[RawResponseSlot], pattern, cut.piece);
        if (!piece)
            return std::nullopt;
        next[cut.pieceSlot] = *piece;
        next[cut.valueSlot] = before(*piece, cut.stop);
    }
    next[SingerSlot].remove(u' ');
    next[ShareCountSlot].remove(u'"');
    next[CreateTimeSlot].remove(u'"');
    next[InfoTextSlot] = QString(next[InfoRawSlot])
                             .replace(QStringLiteral("\\r"), QStringLiteral("\r\n"))
                             .remove(QStringLiteral("\\n"));
    const std::optional<QString> publishTime = calendarTime(next[CreateTimeSlot]);
    if (!publishTime)
        return std::nullopt;
    next[PublishTimeSlot] = *publishTime;
    const QString &name = next[SoundNameSlot];
    next[ShortNameSlot] = name.size() > 8 ? name.left(8) + QStringLiteral("...") : name;
    const QString &singer = next[SingerSlot];
    next[ShortSingerSlot] = singer.size() > 5 ? singer.left(10) + QStringLiteral("...") : singer;
    return next;
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
    const std::optional<WorkSlots> expected = plainCut(before);

    if (!result.ok) {
        // All or nothing: the previous record stays whole.
        FUZZ_CHECK(work == before, result.error);
        FUZZ_CHECK(!result.error.isEmpty(), QString());
        FUZZ_CHECK(!expected, QStringLiteral("refused: ") + result.error);
        return 0;
    }
    FUZZ_CHECK(expected, QStringLiteral("accepted, created at ") + work[CreateTimeSlot]);
    for (int slot = 0; slot < WorkSlots::Count; ++slot) {
        FUZZ_CHECK(
            work[slot] == (*expected)[slot],
            QStringLiteral("slot %1: [%2] expected [%3]").arg(slot).arg(work[slot], (*expected)[slot]));
        if (!ExtractedSlots.contains(slot))
            FUZZ_CHECK(work[slot] == before[slot], QStringLiteral("slot %1 changed").arg(slot));
    }

    const SoundInfo info = SoundInfo::fromSlots(work);
    checkAddress(info.coverUrl);
    checkAddress(info.fileUrl);
    return 0;
}
