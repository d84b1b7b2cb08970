// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"
#include "sound/hot_list_scraper.h"
#include "support/hot_pages.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString WebHost = HotPagesHost;
// Stands for a fetch that failed in a page sequence.
const QString FailedFetch = QStringLiteral("(failed)");

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

// A page of one entry whose category holds markup.
QString pageWithCategory(const QString &markup)
{
    return QStringLiteral("<li><h3 class=\"voice-name\"><a href=\"/sound/1\">x</a></h3>"
                          "<div class=\"category\">%1</div><span title=\"分享数目\">1</span></li>")
        .arg(markup);
}

} // namespace

class HotListScraperTest : public QObject
{
    Q_OBJECT

private slots:
    // Each row takes the pages in order on one scraper, as the window does,
    // and compares what the list shows at the end (the last fifteen rows
    // listed) and how the last refresh went.
    void refreshSequences_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("shown"); // expected rows; empty: none ever listed
        QTest::addColumn<int>("lastOutcome");
        const int listed = -1;
        const int failed = int(HotListProblem::FetchFailed);
        const int none = int(HotListProblem::NoEntries);

        QTest::newRow("first fifteen of seventeen") << QStringList{"full"} << "full" << listed;
        QTest::newRow("three entries, the third repeated") << QStringList{"short"} << "short" << listed;
        QTest::newRow("missing markers carry the row before")
            << QStringList{"missing"} << "missing" << listed;
        QTest::newRow("missing count taken from the previous refresh")
            << QStringList{"full", "short"} << "short_after_full" << listed;
        QTest::newRow("a full page after a short one") << QStringList{"short", "full"} << "full" << listed;
        QTest::newRow("unclosed lone entry on a fresh scraper")
            << QStringList{"unclosed"} << "blank" << listed;
        QTest::newRow("unclosed lone entry repeats the last refresh's last row")
            << QStringList{"full", "unclosed"} << "full_last_row" << listed;

        QTest::newRow("empty page first") << QStringList{"empty"} << QString() << none;
        QTest::newRow("failed fetch first") << QStringList{FailedFetch} << QString() << failed;
        QTest::newRow("upper-case markers are no entries") << QStringList{"no_entries"} << QString() << none;
        QTest::newRow("failed fetch keeps the list") << QStringList{"full", FailedFetch} << "full" << failed;
        QTest::newRow("empty page keeps the list") << QStringList{"full", "empty"} << "full" << none;
        QTest::newRow("entry-less page keeps the list")
            << QStringList{"full", "no_entries"} << "full" << none;
        // Nothing carried over changed in between.
        QTest::newRow("failed fetch carries nothing new")
            << QStringList{"full", FailedFetch, "unclosed"} << "full_last_row" << listed;
        QTest::newRow("entry-less pages carry nothing new")
            << QStringList{"full", "empty", "no_entries", "unclosed"} << "full_last_row" << listed;
    }

    void refreshSequences()
    {
        QFETCH(QStringList, pages);
        QFETCH(QString, shown);
        QFETCH(int, lastOutcome);

        HotListScraper scraper(WebHost);
        QList<HotEntry> list;
        HotRefresh refresh;
        for (const QString &page : pages) {
            refresh =
                scraper.take(page == FailedFetch
                                 ? FetchResult(unexpected(FetchFailure::Transport, QStringLiteral("refused")))
                                 : FetchResult(FetchedBody{QString::fromUtf8(hotTestPage(page)), {}, 200}));
            if (refresh) {
                QCOMPARE(refresh->size(), HotEntryCount);
                list = *refresh;
            }
        }
        QCOMPARE(refresh ? -1 : int(refresh.error().reason), lastOutcome);
        QVERIFY(sameRows(list, shown.isEmpty() ? QList<HotEntry>() : hotExpectedRows(shown)));
    }

    void channel_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("channel");

        QTest::newRow("link") << QStringLiteral("<a href=\"/c/1\">民谣</a>") << QStringLiteral("民谣");
        // The closing tag is found case-sensitively, stripped in any case.
        QTest::newRow("upper-case tags alone")
            << QStringLiteral("<A HREF=\"/c/1\">民谣</A>") << QStringLiteral("/a>");
        QTest::newRow("upper-case tags, then a closing one")
            << QStringLiteral("<A HREF=\"/c\">民谣</A> x</a>") << QStringLiteral("民谣 x");
        QTest::newRow("other tags and space stay")
            << QStringLiteral(" <i></i><a>x</a>") << QStringLiteral(" <i></i>x");
        QTest::newRow("plain text, no tags") << QStringLiteral("民谣") << QStringLiteral("/a>");
    }

    void channel()
    {
        QFETCH(QString, markup);
        QFETCH(QString, channel);
        HotListScraper scraper(WebHost);
        const std::optional<QList<HotEntry>> entries = scraper.scrape(pageWithCategory(markup));
        QVERIFY(entries);
        QCOMPARE(entries->first().channel, channel);
        QCOMPARE(entries->first().link, QStringLiteral("http://") + WebHost + QStringLiteral("/sound/1"));
    }

    // The home page as the program fetches it, taken by the scraper.
    static HotRefresh refresh(HotListScraper &scraper)
    {
        HotListRefresh request(scraper, FetchOptions{});
        QSignalSpy finished(&request, &HotListRefresh::finished);
        request.start();
        if (!finished.wait(20000))
            return unexpected(HotListProblem::FetchFailed, FetchError{FetchFailure::Stalled});
        return finished.first().first().value<HotRefresh>();
    }

    void refreshFromTheSampleService()
    {
        SampleService service;
        QVERIFY(service.start());
        HotListScraper scraper(service.hostAndPort());
        const HotRefresh listed = refresh(scraper);
        QVERIFY(listed);
        QCOMPARE(listed->size(), HotEntryCount);
        QStringList channels;
        QStringList counts;
        for (int i = 0; i < HotEntryCount; ++i) {
            const HotEntry &entry = listed->at(i);
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

        service.stop();
        const HotRefresh failed = refresh(scraper);
        QVERIFY(!failed);
        QCOMPARE(failed.error().reason, HotListProblem::FetchFailed);
        QVERIFY(!fetchFailureText(failed.error().detail).isEmpty());
    }
};

QTEST_GUILESS_MAIN(HotListScraperTest)
#include "hot_list_scraper_test.moc"
