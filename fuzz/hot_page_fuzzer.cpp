// Several refreshes of the hot list on one slot table, as the window and the
// command line run them: the slots and the current row outlive every pass.
// The input holds up to three pages split at \x01; a page starting with \x02
// stands for a failed fetch, which refills the list from the last page. A
// page may start with a "CT:" line naming its charset.

#include "fuzz_support.h"

#include "hotlist/hot_scrape.h"

namespace {

const QString WebHost = QStringLiteral("www.vexa.example:8123");
const QString LinkStart = QStringLiteral("http://") + WebHost;
constexpr int MaxPages = 3;

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
    QString lastPage;
    for (const QByteArray &bytes : pages) {
        std::optional<QString> page;
        if (!bytes.startsWith('\x02')) {
            page = FetchedText(bytes);
            lastPage = *page;
        }
        ApplyHotPage(scrape, rows, page, WebHost);
        FUZZ_CHECK(scrape[PageText] == lastPage, QString());
        checkRows(scrape, rows);
    }
    return 0;
}
