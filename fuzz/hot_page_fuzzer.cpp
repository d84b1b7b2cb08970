// Several refreshes of the hot list on one slot table, as the window and the
// command line run them: the slots and the current row outlive every pass.
// The input holds up to three pages split at \x01; a page starting with \x02
// stands for a failed fetch, which refills the list from the last page. A
// page may start with a "CT:" line naming its charset.

#include "fuzz_support.h"

#include "hotlist/hot_scrape.h"
#include "services/regex_replace.h"

#include <QStringList>

namespace {

const QString WebHost = QStringLiteral("www.vexa.example:8123");
const QString LinkStart = QStringLiteral("http://") + WebHost;
constexpr int MaxPages = 3;

// The refresh as its steps are written down: pieces by splitting the whole
// text (the empty text has none), no searching shortcuts. The scraper must
// agree with it row for row, over any sequence of pages.
class StepByStepRefresh
{
public:
    void apply(const std::optional<QString> &page)
    {
        if (page)
            m_slot[PageText] = *page;
        m_rows.clear();
        for (int k = 1; k <= HotEntryCount; ++k) {
            piece(Chunk, PageText, QStringLiteral("<h3 class=\"voice-name\">"), k);
            m_slot[Block] = through(m_slot[Chunk], QStringLiteral("</li>"));
            piece(NamePiece, Block, QStringLiteral(">"), 1);
            m_slot[Name] = before(m_slot[NamePiece], u'<');
            piece(LinkPiece, Block, QStringLiteral("href=\""), 1);
            m_slot[LinkPath] = before(m_slot[LinkPiece], u'"');
            piece(ChannelPiece, Block, QStringLiteral("<div class=\"category\">"), 1);
            m_slot[Channel] = through(m_slot[ChannelPiece], QStringLiteral("</a>")) + QStringLiteral("/a>");
            m_slot[Channel] = RegexReplace(m_slot[Channel], QStringLiteral("</?a[^<>]*>"), QString());
            piece(SharePiece, Block, QStringLiteral("分享数目\">"), 1);
            m_slot[ShareCount] = before(m_slot[SharePiece], u'<');
            piece(LikePiece, Block, QStringLiteral("喜欢数目\">"), 1);
            m_slot[LikeCount] = before(m_slot[LikePiece], u'<');
            piece(CommentPiece, Block, QStringLiteral("评论数目\">"), 1);
            m_slot[CommentCount] = before(m_slot[CommentPiece], u'<');
            m_rows.append({QString::number(m_rows.size() + 1), m_slot[Name], m_slot[Channel],
                           m_slot[ShareCount], m_slot[LikeCount], m_slot[CommentCount],
                           LinkStart + m_slot[LinkPath]});
        }
    }

    const QList<HotEntry> &rows() const { return m_rows; }

private:
    void piece(int target, int source, const QString &marker, int i)
    {
        if (m_slot[source].isEmpty())
            return;
        const QStringList pieces = m_slot[source].split(marker);
        if (i < pieces.size())
            m_slot[target] = pieces.at(i);
    }

    static QString through(const QString &text, const QString &marker)
    {
        const qsizetype at = text.indexOf(marker);
        return at < 0 ? QString() : text.left(at + 1);
    }

    static QString before(const QString &text, QChar c)
    {
        const qsizetype at = text.indexOf(c);
        return at < 0 ? QString() : text.left(at);
    }

    std::array<QString, 15> m_slot;
    QList<HotEntry> m_rows;
};

void checkRows(const HotScrapeSlots &scrape, const HotRowTable &rows)
{
    FUZZ_CHECK(rows.entries().size() == HotEntryCount, QString::number(rows.entries().size()));
    for (qsizetype i = 0; i < rows.entries().size(); ++i) {
        const HotEntry &entry = rows.entries().at(i);
        FUZZ_CHECK(entry.number == QString::number(i + 1), entry.number);
        FUZZ_CHECK(entry.link.startsWith(LinkStart) && !entry.link.mid(LinkStart.size()).contains(u'"'),
                   entry.link);
        for (const QString *value : {&entry.name, &entry.shareCount, &entry.likeCount, &entry.commentCount})
            FUZZ_CHECK(!value->contains(u'<'), *value);
    }
    // The block is cut through the "<" of its closing tag, or is empty.
    const QString &block = scrape[Block];
    FUZZ_CHECK(block.isEmpty() || (block.endsWith(u'<') && scrape[Chunk].startsWith(block)), block);
    FUZZ_CHECK(scrape.currentRow.has_value(), QString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    QList<QByteArray> pages;
    qsizetype start = 0;
    while (pages.size() < MaxPages - 1) {
        const qsizetype split = input.indexOf('\x01', start);
        if (split < 0)
            break;
        pages.append(input.mid(start, split - start));
        start = split + 1;
    }
    pages.append(input.mid(start));

    HotScrapeSlots scrape;
    HotRowTable rows;
    StepByStepRefresh reference;
    QString lastPage;
    for (const QByteArray &bytes : pages) {
        std::optional<QString> page;
        if (!bytes.startsWith('\x02')) {
            page = FetchedText(bytes);
            lastPage = *page;
        }
        ApplyHotPage(scrape, rows, page, WebHost);
        reference.apply(page);
        for (qsizetype i = 0; i < reference.rows().size(); ++i)
            FUZZ_CHECK(rows.entries().value(i) == reference.rows().at(i),
                       QStringLiteral("row %1").arg(i + 1));
        FUZZ_CHECK(scrape[PageText] == lastPage, QString());
        checkRows(scrape, rows);
    }
    return 0;
}
