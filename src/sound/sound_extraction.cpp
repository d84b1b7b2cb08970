#include "sound/sound_extraction.h"

#include <QDate>
#include <QDateTime>

#include <cmath>

namespace {

constexpr qint64 ShiftSeconds = 8 * 3600;
constexpr QChar Quote = u'"';

} // namespace

std::optional<QString> KeyPiece(const QString &text, const QString &pattern, int n)
{
    if (n < 0)
        return std::nullopt;
    // Splitting at an empty pattern leaves the text whole: one piece.
    if (pattern.isEmpty())
        return n == 0 ? std::optional<QString>(text) : std::nullopt;

    qsizetype start = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype at = text.indexOf(pattern, start);
        if (at < 0)
            return std::nullopt;
        start = at + pattern.size();
    }
    const qsizetype end = text.indexOf(pattern, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

QString TextBefore(const QString &piece, QChar stop)
{
    const qsizetype at = piece.indexOf(stop);
    return at < 0 ? QString() : piece.left(at);
}

QString TextKeyPattern(const QString &key)
{
    return QString(Quote) + key + QStringLiteral("\":\"");
}

QString NumberKeyPattern(const QString &key)
{
    return QString(Quote) + key + QStringLiteral("\":");
}

std::optional<QString> PublishTimeText(const QString &createTime)
{
    bool ok = false;
    const double t = createTime.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(t))
        return std::nullopt;

    // Years 1 to 9999 keep every date four digits wide.
    static const qint64 minSeconds =
        QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch() - ShiftSeconds;
    static const qint64 maxSeconds =
        QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC).toSecsSinceEpoch() - ShiftSeconds;
    const double whole = std::floor(t);
    if (whole < double(minSeconds) || whole > double(maxSeconds))
        return std::nullopt;

    // The shift is fixed, so compute in UTC and never in the machine's zone.
    const QDateTime moment =
        QDateTime::fromSecsSinceEpoch(static_cast<qint64>(whole) + ShiftSeconds, Qt::UTC);
    if (moment.time() == QTime(0, 0))
        return moment.toString(QStringLiteral("yyyy-MM-dd"));
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString ShortSoundName(const QString &soundName)
{
    if (soundName.size() > 8)
        return soundName.left(8) + QStringLiteral("...");
    return soundName;
}

QString ShortSinger(const QString &singer)
{
    // The test (over 5) and the cut (10) differ on purpose: 6 to 10 code
    // units are shown whole with the ellipsis.
    if (singer.size() > 5)
        return singer.left(10) + QStringLiteral("...");
    return singer;
}

namespace {

struct Cut
{
    int pieceSlot;
    int valueSlot;
    QString pattern;
    int piece;
    QChar stop;
};

} // namespace

ExtractionResult ExtractSoundInfo(WorkSlots &work)
{
    const QString &response = work[RawResponseSlot];
    WorkSlots next = work;

    const Cut cuts[] = {
        {CoverPieceSlot, CoverUrlSlot, TextKeyPattern(QStringLiteral("pic_200")), 1, Quote},
        {SourcePieceSlot, FileUrlSlot, TextKeyPattern(QStringLiteral("source")), 1, u'?'},
        {NamePieceSlot, SoundNameSlot, TextKeyPattern(QStringLiteral("name")), 1, Quote},
        {SingerPieceSlot, SingerSlot, TextKeyPattern(QStringLiteral("name")), 2, Quote},
        {InfoPieceSlot, InfoRawSlot, TextKeyPattern(QStringLiteral("info")), 1, Quote},
        {PlayPieceSlot, PlayCountSlot, NumberKeyPattern(QStringLiteral("sound_count")), 1, u','},
        {FanPieceSlot, FanCountSlot, NumberKeyPattern(QStringLiteral("follow_count")), 1, u','},
        {SharePieceSlot, ShareCountSlot, NumberKeyPattern(QStringLiteral("share_count")), 1, u','},
        {CreatePieceSlot, CreateTimeSlot, NumberKeyPattern(QStringLiteral("create_time")), 1, u','},
    };

    for (const Cut &cut : cuts) {
        std::optional<QString> piece = KeyPiece(response, cut.pattern, cut.piece);
        if (!piece) {
            const QString which = cut.piece == 2 ? QStringLiteral("a second ") : QString();
            return {false, QStringLiteral("the response has no %1%2").arg(which, cut.pattern)};
        }
        next[cut.valueSlot] = TextBefore(*piece, cut.stop);
        next[cut.pieceSlot] = std::move(*piece);
    }

    next[SingerSlot].remove(u' ');
    next[ShareCountSlot].remove(Quote);
    next[CreateTimeSlot].remove(Quote);

    QString infoText = next[InfoRawSlot];
    infoText.replace(QStringLiteral("\\r"), QStringLiteral("\r\n"));
    infoText.remove(QStringLiteral("\\n"));
    next[InfoTextSlot] = infoText;

    const std::optional<QString> publishTime = PublishTimeText(next[CreateTimeSlot]);
    if (!publishTime)
        return {
            false,
            QStringLiteral("the creation time \"%1\" is not a number of seconds").arg(next[CreateTimeSlot])};
    next[PublishTimeSlot] = *publishTime;

    next[ShortNameSlot] = ShortSoundName(next[SoundNameSlot]);
    next[ShortSingerSlot] = ShortSinger(next[SingerSlot]);

    work = std::move(next);
    return {true, {}};
}
