// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/hot_command.h"
#include "library/download_history.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "support/hot_pages.h"
#include "support/vexa_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList Keys = {QStringLiteral("number"),    QStringLiteral("name"),
                          QStringLiteral("channel"),   QStringLiteral("shareCount"),
                          QStringLiteral("likeCount"), QStringLiteral("commentCount"),
                          QStringLiteral("link")};

// The rows of a JSON answer; fails the test on any other shape.
QList<HotEntry> parseRows(const QByteArray &json, bool *ok)
{
    *ok = false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return {};
    QList<HotEntry> rows;
    for (const QJsonValue &value : document.array()) {
        const QJsonObject object = value.toObject();
        if (object.keys().size() != Keys.size())
            return {};
        QStringList f;
        for (const QString &key : Keys) {
            if (!object.value(key).isString())
                return {};
            f.append(object.value(key).toString());
        }
        rows.append({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
    }
    *ok = true;
    return rows;
}

} // namespace

class HotCommandTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void jsonRows_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QList<HotEntry>>("expected");
        const QString host = m_service.hostAndPort();
        QTest::newRow("sample home page") << homePageHtml() << hotRowsOf(homePageHtml(), host);
        // Quotes, line breaks and entities in the values survive the JSON.
        QTest::newRow("saved page") << hotTestPage(QStringLiteral("full"))
                                    << hotExpectedRows(QStringLiteral("full"), host);
    }

    void jsonRows()
    {
        QFETCH(QByteArray, page);
        QFETCH(QList<HotEntry>, expected);
        m_service.setHomePageBody(page);
        const Cli::CommandOutput run =
            Cli::runHotCommand(m_service.hostAndPort(), {}, Cli::JsonForm::Strings, {});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        bool ok = false;
        const QList<HotEntry> rows = parseRows(run.out, &ok);
        QVERIFY2(ok, run.out.constData());
        QCOMPARE(rows, expected);
        // Keys in the order of the list's columns.
        QVERIFY(run.out.contains(R"({"number": "1", "name": )"));

        // By default the counts are numbers.
        const Cli::CommandOutput numbers =
            Cli::runHotCommand(m_service.hostAndPort(), {}, Cli::JsonForm::Numbers, {});
        const QJsonArray array = QJsonDocument::fromJson(numbers.out).array();
        QCOMPARE(array.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(array[i][u"shareCount"], Cli::jsonCount(expected[i].shareCount));
            QCOMPARE(array[i][u"likeCount"], Cli::jsonCount(expected[i].likeCount));
            QCOMPARE(array[i][u"commentCount"], Cli::jsonCount(expected[i].commentCount));
            QCOMPARE(array[i][u"link"].toString(), expected[i].link);
        }
        QVERIFY(array[0][u"shareCount"].isDouble());
    }

    // Through the program itself: the command's dispatch and its streams.
    void refreshThatGetsNothing_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("problem");

        QTest::newRow("fetch failed") << false << QByteArray() << 3 << QStringLiteral("无法获取 ");
        QTest::newRow("empty page") << true << QByteArray() << 4 << QStringLiteral("无法读取热门列表: ");
        QTest::newRow("no entry marker")
            << true << hotTestPage(QStringLiteral("no_entries")) << 4 << QStringLiteral("无法读取热门列表: ");
    }

    void refreshThatGetsNothing()
    {
        QFETCH(bool, reachable);
        QFETCH(QByteArray, page);
        QFETCH(int, exitCode);
        QFETCH(QString, problem);
        m_service.setHomePageBody(page);
        const QString host = reachable ? m_service.hostAndPort() : QStringLiteral("127.0.0.1:1");
        for (const bool json : {false, true}) {
            QStringList arguments = {QStringLiteral("hot"), QStringLiteral("--web-host"), host};
            if (json)
                arguments << QStringLiteral("--json");
            const VexaRun run = runVexaHelper(arguments);
            QCOMPARE(run.exitCode, exitCode);
            QCOMPARE(run.out, QByteArray());
            const QString line = QStringLiteral("vexa-helper: ") + problem;
            QVERIFY2(run.err.startsWith(line) && run.err.count(u'\n') == 1, qPrintable(run.err));
            QVERIFY2(run.err.contains(QStringLiteral("http://%1/?wp").arg(host)), qPrintable(run.err));
        }
    }

    void tableLinesUp()
    {
        m_service.setHomePageBody(hotTestPage(QStringLiteral("full")));
        const Cli::CommandOutput run =
            Cli::runHotCommand(m_service.hostAndPort(), {}, Cli::JsonForm::None, {});
        QCOMPARE(run.status, 0);
        const QStringList lines = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 16);
        QVERIFY(lines.first().startsWith(QStringLiteral("ID")));
        // Every row ends in its link, starting in the same terminal column.
        const QList<HotEntry> expected = hotExpectedRows(QStringLiteral("full"), m_service.hostAndPort());
        const auto width = [](const QString &text) {
            int w = 0;
            for (const char32_t c : text.toUcs4())
                w += c >= 0x2E80 ? 2 : 1;
            return w;
        };
        const int column = width(lines.at(1).left(lines.at(1).indexOf(QStringLiteral("http://"))));
        for (int i = 1; i < lines.size(); ++i) {
            QVERIFY2(lines.at(i).endsWith(expected.at(i - 1).link), qPrintable(lines.at(i)));
            QCOMPARE(width(lines.at(i).left(lines.at(i).indexOf(QStringLiteral("http://")))), column);
        }
    }

    // A name or channel cut from the page is shown, never acted on.
    void escapesInTheTable()
    {
        const HotEntry row{QStringLiteral("1"),
                           QStringLiteral("\x1b]0;owned\x07歌"),
                           QStringLiteral("\x1b[2J") + QChar(0) + QStringLiteral("\u009b"),
                           QStringLiteral("2"),
                           QStringLiteral("3"),
                           QStringLiteral("4"),
                           QStringLiteral("http://h/sound/1")};
        const QString table = Cli::hotTableText({row});
        QVERIFY2(table.contains(QStringLiteral("␛]0;owned␇歌  ␛[2J␀\\x9b")), qPrintable(table));
        QVERIFY(!table.contains(QChar(0x1b)) && !table.contains(QChar(0)) && !table.contains(QChar(0x9b)));
    }

    // Through the program: each refresh is recorded, and the next one's
    // ranks are told against it.
    void previousRanks()
    {
        QTemporaryDir data;
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", saved); });
        const QString host = m_service.hostAndPort();
        // The short page repeats its last sound; the sample one lists its sounds twice, reordered.
        const QList<QByteArray> pages = {hotTestPage(QStringLiteral("short")), homePageHtml()};
        QStringList idsBefore;
        for (const QByteArray &page : pages) {
            m_service.setHomePageBody(page);
            const VexaRun run = runVexaHelper(
                {QStringLiteral("hot"), QStringLiteral("--web-host"), host, QStringLiteral("--json")});
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            const QJsonArray rows = QJsonDocument::fromJson(run.out).array();
            QCOMPARE(rows.size(), HotEntryCount);
            QStringList ids;
            for (const QJsonValue &row : rows) {
                const QString id = row[u"link"].toString().section(u'/', -1);
                const qsizetype before = idsBefore.indexOf(id);
                QCOMPARE(row[u"previousRank"], before < 0 ? QJsonValue() : QJsonValue(int(before) + 1));
                ids.append(id);
            }
            idsBefore = ids;
        }

        const VexaRun listed =
            runVexaHelper({QStringLiteral("hot"), QStringLiteral("--history"), QStringLiteral("--json")});
        QVERIFY2(listed.exitCode == 0, qPrintable(listed.err));
        const QJsonArray refreshes = QJsonDocument::fromJson(listed.out).array();
        QCOMPARE(refreshes.size(), 2);
        QVERIFY(refreshes[0][u"time"].toString() >= refreshes[1][u"time"].toString());
        QVERIFY(QDateTime::fromString(refreshes[0][u"time"].toString(), Qt::ISODateWithMs).isValid());
        const QJsonArray newest = refreshes[0][u"entries"].toArray();
        QCOMPARE(newest.size(), HotEntryCount);
        const HotEntry first = hotRowsOf(homePageHtml(), host).constFirst();
        QCOMPARE(newest[0].toObject(), (QJsonObject{{QStringLiteral("rank"), 1},
                                                    {QStringLiteral("id"), idsBefore.first()},
                                                    {QStringLiteral("name"), first.name},
                                                    {QStringLiteral("singer"), first.channel}}));
        QCOMPARE(newest[14][u"id"].toString(), idsBefore.last());
    }

    // The table marks each move; the listing has a block per refresh.
    void textForms()
    {
        QTemporaryDir dir;
        DownloadHistory history(dir.filePath(QStringLiteral("history.sqlite")));
        m_service.setHomePageBody(hotTestPage(QStringLiteral("short")));
        QCOMPARE(Cli::runHotCommand(m_service.hostAndPort(), {}, Cli::JsonForm::None, {}, &history).status,
                 0);
        m_service.setHomePageBody(homePageHtml());
        const Cli::CommandOutput run =
            Cli::runHotCommand(m_service.hostAndPort(), {}, Cli::JsonForm::None, {}, &history);
        const QStringList lines = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + HotEntryCount);
        const auto mark = [&](int rank) { return lines.at(rank).split(u' ', Qt::SkipEmptyParts).at(1); };
        // The short page listed 1001, 1002, then 1003 to the end; the sample page's 9th is 1003 again.
        QCOMPARE(mark(9), QStringLiteral("↓6"));
        QCOMPARE(mark(4), QStringLiteral("新"));
        QVERIFY2(lines.at(1).startsWith(QStringLiteral("1     ")),
                 qPrintable(lines.at(1))); // unchanged: blank

        QVERIFY(history.flush());
        const QString listed = QString::fromUtf8(Cli::runHotHistoryCommand(history, false, {}).out);
        const QStringList blocks = listed.split(QStringLiteral("\n\n"));
        QCOMPARE(blocks.size(), 2);
        for (const QString &block : blocks) {
            const QStringList blockLines = block.trimmed().split(u'\n');
            QCOMPARE(blockLines.size(), 1 + HotEntryCount);
            QVERIFY(
                QDateTime::fromString(blockLines.first(), QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid());
        }
        QVERIFY2(blocks.last().contains(QStringLiteral("15  1003")), qPrintable(blocks.last()));
    }

    void argumentsAreRefused()
    {
        m_service.clearRequests();
        const Cli::CommandOutput run =
            Cli::runHotCommand(m_service.hostAndPort(), {}, Cli::JsonForm::None, {QStringLiteral("x")});
        QCOMPARE(run.status, 64);
        QVERIFY(run.out.isEmpty());
        QVERIFY(m_service.requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(HotCommandTest)
#include "hot_command_test.moc"
