// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/hot_command.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "support/hot_pages.h"
#include "support/vexa_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
