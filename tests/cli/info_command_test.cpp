// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"
#include "support/vexa_process.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class InfoCommandTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    VexaRun vexa(const QStringList &arguments) { return runVexaHelperAt(m_service.hostAndPort(), arguments); }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    // The counts: numbers, or as cut for scripts that read the older shape.
    void jsonRecordOfAServedAnswer_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QJsonObject>("counts");
        QTest::newRow("--json") << QStringLiteral("--json")
                                << QJsonObject{{QStringLiteral("playCount"), 42},
                                               {QStringLiteral("shareCount"), 7},
                                               {QStringLiteral("fanCount"), QJsonValue::Null},
                                               {QStringLiteral("createTime"), 1600000000}};
        QTest::newRow("--json-strings")
            << QStringLiteral("--json-strings")
            << QJsonObject{{QStringLiteral("playCount"), QStringLiteral("\"42\"")},
                           {QStringLiteral("shareCount"), QStringLiteral("7")},
                           {QStringLiteral("fanCount"), QString()}, // no "," after it
                           {QStringLiteral("createTime"), QStringLiteral("1600000000")}};
    }

    void jsonRecordOfAServedAnswer()
    {
        QFETCH(QString, option);
        QFETCH(QJsonObject, counts);
        // Worked out by hand: the query string goes, the singer loses its
        // spaces, the quoted share count its quotes, and 1600000000 s plus
        // 8 h is 2020-09-13 20:26:40.
        const QByteArray answer =
            R"({"code":0,"info":{"sound":{"id":77,"name":"一二三四五六七八九","pic_200":"http://img.example/c.png",)"
            R"("source":"http://cdn.example/s.mp3?sign=1","sound_count":"42","share_count":"7","create_time":1600000000,)"
            R"("info":"第一行\r\n第二行","user":{"name":" 张 三 ","follow_count":3}}}})";
        m_service.setSoundInfoBody(QStringLiteral("77"), answer);

        const VexaRun run =
            vexa({QStringLiteral("info"), m_service.soundPageUrl(QStringLiteral("77")), option});
        QCOMPARE(run.exitCode, 0);
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);

        const QStringList keys = {
            QStringLiteral("soundId"),     QStringLiteral("coverUrl"),   QStringLiteral("fileUrl"),
            QStringLiteral("soundName"),   QStringLiteral("singer"),     QStringLiteral("shortName"),
            QStringLiteral("shortSinger"), QStringLiteral("playCount"),  QStringLiteral("fanCount"),
            QStringLiteral("shareCount"),  QStringLiteral("createTime"), QStringLiteral("publishTime"),
            QStringLiteral("infoText")};
        QStringList sortedKeys = keys;
        sortedKeys.sort();
        QCOMPARE(json.keys(), sortedKeys);

        QCOMPARE(json[u"soundId"].toString(), QStringLiteral("77"));
        QCOMPARE(json[u"coverUrl"].toString(), QStringLiteral("http://img.example/c.png"));
        QCOMPARE(json[u"fileUrl"].toString(), QStringLiteral("http://cdn.example/s.mp3"));
        QCOMPARE(json[u"soundName"].toString(), QStringLiteral("一二三四五六七八九"));
        QCOMPARE(json[u"shortName"].toString(), QStringLiteral("一二三四五六七八..."));
        QCOMPARE(json[u"singer"].toString(), QStringLiteral("张三"));
        QCOMPARE(json[u"shortSinger"].toString(), QStringLiteral("张三"));
        for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
            QVERIFY2(json[it.key()] == it.value(), qPrintable(it.key()));
        QCOMPARE(json[u"publishTime"].toString(), QStringLiteral("2020-09-13 20:26:40"));
        QCOMPARE(json[u"infoText"].toString(), QStringLiteral("第一行\r\n第二行"));
    }

    void plainRecordOfEverySample()
    {
        for (const QString &id : SampleService::sampleSoundIds()) {
            const VexaRun run = vexa({QStringLiteral("info"), m_service.soundPageUrl(id)});
            QCOMPARE(run.exitCode, 0);
            const QString out = QString::fromUtf8(run.out);
            QVERIFY(out.startsWith(QStringLiteral("soundId      ") + id + u'\n'));
            QVERIFY(out.contains(QStringLiteral("\npublishTime  ")));
        }
    }

    // Escape sequences and NUL in the service's texts are shown, not acted
    // on; the introduction keeps its lines.
    void hostileTextIsShownNotActedOn_data()
    {
        // Name, singer and introduction as JSON strings, escapes as the service would send them.
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("singer");
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QString>("shown");
        QTest::newRow("window title") << QByteArray("\\u001b]0;owned\\u0007x") << QByteArray("s")
                                      << QByteArray("i") << QStringLiteral("soundName    ␛]0;owned␇x\n");
        QTest::newRow("clipboard write") << QByteArray("n") << QByteArray("\\u001b]52;c;cm0=\\u0007")
                                         << QByteArray("i") << QStringLiteral("singer       ␛]52;c;cm0=␇\n");
        QTest::newRow("clear screen, second line")
            << QByteArray("n") << QByteArray("s") << QByteArray("第一行\\n\\u001b[2J\\u001b[H")
            << QStringLiteral("infoText     第一行\n             ␛[2J␛[H\n");
        QTest::newRow("NUL and an 8-bit CSI")
            << QByteArray("a\\u0000b\\u009b2J") << QByteArray("s") << QByteArray("i")
            << QStringLiteral("soundName    a␀b\\x9b2J\n");
    }

    void hostileTextIsShownNotActedOn()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, singer);
        QFETCH(QByteArray, info);
        QFETCH(QString, shown);
        m_service.setSoundInfoBody(
            QStringLiteral("78"),
            R"({"code":0,"info":{"sound":{"id":78,"name":")" + name +
                R"(","pic_200":"http://img.example/c.png","source":"http://cdn.example/s.mp3","sound_count":"1",)"
                R"("share_count":"2","create_time":1600000000,"info":")" +
                info + R"(","user":{"name":")" + singer + R"(","follow_count":3}}}})");
        const VexaRun run = vexa({QStringLiteral("info"), m_service.soundPageUrl(QStringLiteral("78"))});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QString out = QString::fromUtf8(run.out);
        QVERIFY2(out.contains(shown), qPrintable(out));
        for (const QChar c : out)
            QVERIFY2(c == u'\n' || (c >= u' ' && c != u'\x7f' && (c < u'\x80' || c >= u'\xa0')),
                     qPrintable(out));
    }

    // Addresses as people paste them name the sound they show.
    void pastedAddresses_data()
    {
        QTest::addColumn<QString>("address");
        const QString page = m_service.soundPageUrl(QStringLiteral("1001"));
        QTest::newRow("trailing spaces") << page + QStringLiteral("  ");
        QTest::newRow("share query") << page + QStringLiteral("?from=share");
        QTest::newRow("fragment") << page + QStringLiteral("#x");
        QTest::newRow("secure scheme, spaces around")
            << QStringLiteral(" https://%1/sound/1001?from=share \n").arg(m_service.hostAndPort());
    }

    void pastedAddresses()
    {
        QFETCH(QString, address);
        m_service.clearRequests();
        const VexaRun run = vexa({QStringLiteral("info"), address});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.out.startsWith("soundId      1001\n"));
        // The request keeps the API host's own scheme: the sample service speaks plain HTTP only.
        QCOMPARE(m_service.requests().constLast().target, QByteArray("/sound/info?sound_id=1001"));
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrPart");

        const auto page = [this](const char *id) { return m_service.soundPageUrl(QString::fromLatin1(id)); };
        QTest::newRow("empty address")
            << QStringList{QString()} << 2 << QStringLiteral("vexa-helper: 地址未被接受: 请输入音乐地址..\n");
        QTest::newRow("blank address") << QStringList{QStringLiteral(" \t ")} << 2
                                       << QStringLiteral("vexa-helper: 地址未被接受: 请输入音乐地址..\n");
        QTest::newRow("secure scheme, other host")
            << QStringList{QStringLiteral("https://x/sound/1")} << 2
            << QStringLiteral("vexa-helper: 地址未被接受: 地址有误，请检查..\n");
        QTest::newRow("dropped answer")
            << QStringList{page("fault-drop")} << 3 << QStringLiteral("vexa-helper: 无法获取 ");
        QTest::newRow("stalled answer")
            << QStringList{page("fault-stall"), QStringLiteral("--timeout"), QStringLiteral("0.5")} << 3
            << QStringLiteral(": 0.5 秒内未收到数据\n");
        QTest::newRow("unknown sound")
            << QStringList{page("424242")} << 4
            << QStringLiteral("的回答中没有音乐信息: 未能获取音乐信息，请检查地址..\n");
        QTest::newRow("unknown sound, English")
            << QStringList{page("424242"), QStringLiteral("--lang"), QStringLiteral("en")} << 4
            << QStringLiteral(": Could not get the music information. Please check the address.\n");
        QTest::newRow("error page") << QStringList{page("fault-status")} << 4
                                    << QStringLiteral("请检查地址..（HTTP 状态码 500）\n");
        QTest::newRow("missing address")
            << QStringList{} << 64 << QStringLiteral("vexa-helper: 用法有误: info 需要一个音乐页面地址");
        QTest::newRow("two addresses") << QStringList{page("1001"), page("1002")} << 64
                                       << QStringLiteral("vexa-helper: 用法有误: info 只接受一个地址");
    }

    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrPart);
        const VexaRun run = vexa(QStringList{QStringLiteral("info")} + arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(stderrPart), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void cleanupTestCase() { m_service.stop(); }
};

QTEST_GUILESS_MAIN(InfoCommandTest)
#include "info_command_test.moc"
