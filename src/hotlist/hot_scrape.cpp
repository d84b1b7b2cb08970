#include "hotlist/hot_scrape.h"

#include "services/regex_replace.h"
#include "services/service_config.h"
#include "sound/sound_extraction.h"

namespace {

// Markers of the home page's markup, matched exactly and case-sensitively.
const QString EntryMarker = QStringLiteral("<h3 class=\"voice-name\">");
const QString BlockEnd = QStringLiteral("</li>");
const QString NameStart = QStringLiteral(">");
const QString LinkMarker = QStringLiteral("href=\"");
const QString ChannelMarker = QStringLiteral("<div class=\"category\">");
const QString ChannelEnd = QStringLiteral("</a>");
const QString ShareMarker = QStringLiteral("分享数目\">");
const QString LikeMarker = QStringLiteral("喜欢数目\">");
const QString CommentMarker = QStringLiteral("评论数目\">");
constexpr QChar ValueEnd = u'<';
constexpr QChar Quote = u'"';

// A piece step: the slot changes only when the piece exists.
void cutPiece(HotScrapeSlots &scrape, int target, int source, const QString &marker, int index)
{
    if (std::optional<QString> piece = KeyPiece(scrape[source], marker, index))
        scrape[target] = std::move(*piece);
}

void cutBefore(HotScrapeSlots &scrape, int target, int source, QChar c)
{
    scrape[target] = TextBefore(scrape[source], c);
}

} // namespace

QString HotEntry::field(int column) const
{
    switch (column) {
    case 0:
        return number;
    case 1:
        return name;
    case 2:
        return channel;
    case 3:
        return shareCount;
    case 4:
        return likeCount;
    case 5:
        return commentCount;
    case 6:
        return link;
    default:
        return {};
    }
}

void HotEntry::setField(int column, const QString &text)
{
    QString *fields[FieldCount] = {&number, &name, &channel, &shareCount, &likeCount, &commentCount, &link};
    if (column >= 0 && column < FieldCount)
        *fields[column] = text;
}

bool HotRowTable::removeAllRows()
{
    m_entries.clear();
    m_ids.clear();
    return true;
}

std::optional<HotRowId> HotRowTable::addRow()
{
    m_entries.append(HotEntry{});
    m_ids.append(m_nextId);
    return m_nextId++;
}

std::optional<int> HotRowTable::rowCount() const
{
    return int(m_entries.size());
}

bool HotRowTable::setRowText(HotRowId row, int column, const QString &text)
{
    const qsizetype at = m_ids.lastIndexOf(row);
    if (at < 0 || column < 0 || column >= HotEntry::FieldCount)
        return false;
    m_entries[at].setField(column, text);
    return true;
}

QStringView ThroughFirst(QStringView text, QStringView marker)
{
    const qsizetype at = marker.isEmpty() ? -1 : text.indexOf(marker);
    return at < 0 ? QStringView() : text.left(at + 1);
}

QString StripLinkTags(const QString &text)
{
    return RegexReplace(text, QStringLiteral("</?a[^<>]*>"), QString());
}

void ScrapeEntry(HotScrapeSlots &scrape, int k)
{
    cutPiece(scrape, Chunk, PageText, EntryMarker, k);
    scrape[Block] = ThroughFirst(scrape[Chunk], BlockEnd).toString();
    cutPiece(scrape, NamePiece, Block, NameStart, 1);
    cutBefore(scrape, Name, NamePiece, ValueEnd);
    cutPiece(scrape, LinkPiece, Block, LinkMarker, 1);
    cutBefore(scrape, LinkPath, LinkPiece, Quote);
    cutPiece(scrape, ChannelPiece, Block, ChannelMarker, 1);
    // Through the "<" of the closing tag, then the rest of it back on.
    scrape[Channel] = ThroughFirst(scrape[ChannelPiece], ChannelEnd) + QStringLiteral("/a>");
    scrape[Channel] = StripLinkTags(scrape[Channel]);
    cutPiece(scrape, SharePiece, Block, ShareMarker, 1);
    cutBefore(scrape, ShareCount, SharePiece, ValueEnd);
    cutPiece(scrape, LikePiece, Block, LikeMarker, 1);
    cutBefore(scrape, LikeCount, LikePiece, ValueEnd);
    cutPiece(scrape, CommentPiece, Block, CommentMarker, 1);
    cutBefore(scrape, CommentCount, CommentPiece, ValueEnd);
}

void WriteEntryRow(HotScrapeSlots &scrape, HotRowSink &rows, const QString &webHost)
{
    if (const std::optional<HotRowId> row = rows.addRow())
        scrape.currentRow = *row;
    // Without a row ever added there is nothing to write to; each write
    // below then fails on its own, as every other failed step does.
    const auto write = [&](int column, const QString &text) {
        if (scrape.currentRow)
            rows.setRowText(*scrape.currentRow, column, text);
    };
    if (const std::optional<int> count = rows.rowCount())
        write(0, QString::number(*count));
    write(1, scrape[Name]);
    write(2, scrape[Channel]);
    write(3, scrape[ShareCount]);
    write(4, scrape[LikeCount]);
    write(5, scrape[CommentCount]);
    write(6, QStringLiteral("http://") + webHost + scrape[LinkPath]);
}

void ApplyHotPage(HotScrapeSlots &scrape, HotRowSink &rows, const std::optional<QString> &page,
                  const QString &webHost)
{
    if (page)
        scrape[PageText] = *page;
    rows.removeAllRows();
    for (int k = 1; k <= HotEntryCount; ++k) {
        ScrapeEntry(scrape, k);
        WriteEntryRow(scrape, rows, webHost);
    }
}

HotRefreshOutcome RefreshHotList(HotScrapeSlots &scrape, HotRowSink &rows, const QString &webHost,
                                 const FetchOptions &options)
{
    ServiceConfig config;
    config.webHost = webHost;
    const FetchResult fetched = HttpTextFetch(config.hotPageUrl(), options);
    HotRefreshOutcome outcome;
    if (fetched.isAbandoned()) {
        outcome.abandoned = true;
        outcome.error = fetched.error();
        return outcome;
    }
    outcome.fetched = fetched.ok();
    if (!fetched.ok())
        outcome.error = fetched.error();
    ApplyHotPage(scrape, rows, fetched.ok() ? std::optional<QString>(fetched.text()) : std::nullopt, webHost);
    return outcome;
}
