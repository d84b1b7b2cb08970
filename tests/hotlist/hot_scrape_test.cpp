#include "hotlist/hot_scrape.h"
#include "sample_service/sample_service.h"
#include "support/hot_pages.h"

#include <QTest>

namespace {

const QString WebHost = HotPagesHost;
// Stands for a fetch that failed in a page sequence.
const QString FailedFetch = QStringLiteral("(failed)");

QString readPage(const QString &name)
{
    return QString::fromUtf8(HotTestPage(name));
}

QList<HotEntry> readExpected(const QString &name)
{
    return HotExpectedRows(name);
}

QString describe(const HotEntry &entry)
{
    QStringList fields;
    for (int i = 0; i < HotEntry::FieldCount; ++i)
        fields.append(entry.field(i));
    return fields.join(QStringLiteral(" | "));
}

bool sameRows(const QList<HotEntry> &actual, const QList<HotEntry> &expected)
{
    if (actual == expected)
        return true;
    for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const QString a = i < actual.size() ? describe(actual.at(i)) : QStringLiteral("(none)");
        const QString e = i < expected.size() ? describe(expected.at(i)) : QStringLiteral("(none)");
        if (a != e)
            qWarning("row %lld\n  actual:   %s\n  expected: %s", qlonglong(i + 1), qPrintable(a),
                     qPrintable(e));
    }
    return false;
}

// A list that refuses every operation, as a closed window's does.
class GoneList : public HotRowSink
{
public:
    bool removeAllRows() override { return false; }
    std::optional<HotRowId> addRow() override { return std::nullopt; }
    std::optional<int> rowCount() const override { return std::nullopt; }
    bool setRowText(HotRowId, int, const QString &) override { return false; }
};

} // namespace

class HotScrapeTest : public QObject
{
    Q_OBJECT

private slots:
    void through_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("through");

        // through "</a>": its "<" is kept
        QTest::newRow("present") << QStringLiteral("x</a>y</a>") << QStringLiteral("x<");
        QTest::newRow("only its first character") << QStringLiteral("x<y") << QString();
        QTest::newRow("absent: empty, not the whole text") << QStringLiteral("xyz") << QString();
        QTest::newRow("at the start") << QStringLiteral("</a>") << QStringLiteral("<");
        QTest::newRow("case-sensitive") << QStringLiteral("x</A>") << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void through()
    {
        QFETCH(QString, text);
        QFETCH(QString, through);
        QCOMPARE(ThroughFirst(text, u"</a>").toString(), through);
    }

    void linkTags_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stripped");

        QTest::newRow("plain") << QStringLiteral("<a href=\"/c/1\">民谣</a>") << QStringLiteral("民谣");
        QTest::newRow("upper case") << QStringLiteral("<A HREF=\"/c/1\">民谣</A>") << QStringLiteral("民谣");
        QTest::newRow("other tags and space stay")
            << QStringLiteral(" <i></i><a>x</a>") << QStringLiteral(" <i></i>x");
        QTest::newRow("the restored end alone") << QStringLiteral("/a>") << QStringLiteral("/a>");
    }

    void linkTags()
    {
        QFETCH(QString, text);
        QFETCH(QString, stripped);
        QCOMPARE(StripLinkTags(text), stripped);
    }

    // Each row runs the pages in order on one slot table and one list, then
    // compares the list with the expected rows.
    void refreshSequences_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("expected");

        QTest::newRow("first fifteen of seventeen")
            << QStringList{QStringLiteral("full")} << QStringLiteral("full");
        QTest::newRow("three entries, the third repeated")
            << QStringList{QStringLiteral("short")} << QStringLiteral("short");
        QTest::newRow("missing markers carry the row before")
            << QStringList{QStringLiteral("missing")} << QStringLiteral("missing");
        QTest::newRow("empty page first") << QStringList{QStringLiteral("empty")} << QStringLiteral("blank");
        QTest::newRow("failed fetch first") << QStringList{FailedFetch} << QStringLiteral("blank");
        QTest::newRow("upper-case entries are no entries")
            << QStringList{QStringLiteral("no_entries")} << QStringLiteral("blank");
        QTest::newRow("failed fetch reuses the last page")
            << QStringList{QStringLiteral("full"), FailedFetch} << QStringLiteral("full");
        QTest::newRow("twice failed after a page")
            << QStringList{QStringLiteral("full"), FailedFetch, FailedFetch} << QStringLiteral("full");
        QTest::newRow("empty page repeats the last row")
            << QStringList{QStringLiteral("full"), QStringLiteral("empty")}
            << QStringLiteral("full_last_row");
        QTest::newRow("entry-less page repeats the last row")
            << QStringList{QStringLiteral("full"), QStringLiteral("no_entries")}
            << QStringLiteral("full_last_row");
        QTest::newRow("failed fetch after an empty page keeps the empty page")
            << QStringList{QStringLiteral("full"), QStringLiteral("empty"), FailedFetch}
            << QStringLiteral("full_last_row");
        QTest::newRow("missing count taken from the previous refresh")
            << QStringList{QStringLiteral("full"), QStringLiteral("short")}
            << QStringLiteral("short_after_full");
        QTest::newRow("a full page after a short one")
            << QStringList{QStringLiteral("short"), QStringLiteral("full")} << QStringLiteral("full");
    }

    void refreshSequences()
    {
        QFETCH(QStringList, pages);
        QFETCH(QString, expected);

        HotScrapeSlots scrape;
        HotRowTable list;
        for (const QString &page : pages) {
            ApplyHotPage(scrape, list, page == FailedFetch ? std::nullopt : std::optional(readPage(page)),
                         WebHost);
            QCOMPARE(list.entries().size(), HotEntryCount);
        }
        QVERIFY(sameRows(list.entries(), readExpected(expected)));
        for (int i = 15; i < HotScrapeSlots::Count; ++i)
            QVERIFY(scrape[i].isEmpty());
    }

    void goneListStillUpdatesTheSlots()
    {
        HotScrapeSlots scrape;
        GoneList gone;
        ApplyHotPage(scrape, gone, readPage(QStringLiteral("full")), WebHost);
        QVERIFY(!scrape.currentRow);
        QCOMPARE(scrape[Name], readExpected(QStringLiteral("full")).at(14).name);

        // Back on a list, a failed fetch refills it from the page kept above.
        HotRowTable list;
        ApplyHotPage(scrape, list, std::nullopt, WebHost);
        QVERIFY(sameRows(list.entries(), readExpected(QStringLiteral("full"))));
    }

    void rowsWriteThroughTheCurrentRow()
    {
        // A row taken away between passes is written no more; the next pass
        // adds its own and writes there.
        HotScrapeSlots scrape;
        HotRowTable list;
        scrape[PageText] = readPage(QStringLiteral("short"));
        ScrapeEntry(scrape, 1);
        WriteEntryRow(scrape, list, WebHost);
        const std::optional<HotRowId> first = scrape.currentRow;
        QVERIFY(first);
        list.removeAllRows();
        QVERIFY(!list.setRowText(*first, 1, QStringLiteral("x")));
        ScrapeEntry(scrape, 2);
        WriteEntryRow(scrape, list, WebHost);
        QCOMPARE(list.entries().size(), 1);
        QCOMPARE(list.entries().first().number, QStringLiteral("1"));
        QCOMPARE(list.entries().first().name, QStringLiteral("夏夜晚风里的萤火虫之歌"));
        QVERIFY(scrape.currentRow != first);
    }

    void refreshFromTheSampleService()
    {
        SampleService service;
        QVERIFY(service.start());
        HotScrapeSlots scrape;
        HotRowTable list;
        const HotRefreshOutcome outcome = RefreshHotList(scrape, list, service.hostAndPort());
        QVERIFY(outcome.fetched);
        QCOMPARE(list.entries().size(), HotEntryCount);
        QStringList channels;
        QStringList counts;
        for (int i = 0; i < HotEntryCount; ++i) {
            const HotEntry &entry = list.entries().at(i);
            QCOMPARE(entry.number, QString::number(i + 1));
            QVERIFY2(entry.link.startsWith(service.soundPageUrl(QString())), qPrintable(entry.link));
            QVERIFY(!entry.name.isEmpty());
            channels.append(entry.channel);
            counts << entry.shareCount << entry.likeCount << entry.commentCount;
        }
        // Link tags are gone from every channel, whatever their case.
        QVERIFY(!channels.join(QString()).contains(u'<'));
        QVERIFY(counts.contains(QStringLiteral("1.2万")));
        QVERIFY(counts.contains(QStringLiteral("12,345")));

        // With the service gone the list is rebuilt from the page it sent.
        const QList<HotEntry> before = list.entries();
        service.stop();
        const HotRefreshOutcome failed = RefreshHotList(scrape, list, service.hostAndPort());
        QVERIFY(!failed.fetched);
        QVERIFY(!failed.error.isEmpty());
        QCOMPARE(list.entries(), before);
    }

    void cancelledFetchWritesNothing()
    {
        SampleService service;
        QVERIFY(service.start());
        HotScrapeSlots scrape;
        HotRowTable list;
        scrape[PageText] = QStringLiteral("kept");
        FetchCancel cancel;
        cancel.cancel();
        FetchOptions options;
        options.cancel = &cancel;
        const HotRefreshOutcome outcome = RefreshHotList(scrape, list, service.hostAndPort(), options);
        QVERIFY(outcome.abandoned);
        QCOMPARE(scrape[PageText], QStringLiteral("kept"));
        QVERIFY(list.entries().isEmpty());
    }
};

QTEST_GUILESS_MAIN(HotScrapeTest)
#include "hot_scrape_test.moc"
