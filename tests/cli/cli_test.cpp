#include "cli/cli.h"
#include "sample_service/sample_service.h"
#include "support/vexa_process.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class CliTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QString page(const QString &id) const
    {
        return QStringLiteral("http://%1/sound/%2").arg(m_service.hostAndPort(), id);
    }

    VexaRun vexa(QStringList arguments)
    {
        arguments << QStringLiteral("--api-host") << m_service.hostAndPort() << QStringLiteral("--web-host")
                  << m_service.hostAndPort();
        return runVexaHelper(arguments);
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void jsonRecordOfAServedAnswer()
    {
        // Worked out by hand: the query string goes, the singer loses its
        // spaces, the quoted share count its quotes, and 1600000000 s plus
        // 8 h is 2020-09-13 20:26:40.
        const QByteArray answer =
            R"({"code":0,"info":{"sound":{"id":77,"name":"一二三四五六七八九","pic_200":"http://img.example/c.png",)"
            R"("source":"http://cdn.example/s.mp3?sign=1","sound_count":"42","share_count":"7","create_time":1600000000,)"
            R"("info":"第一行\r\n第二行","user":{"name":" 张 三 ","follow_count":3}}}})";
        m_service.setSoundInfoBody(QStringLiteral("77"), answer);

        const VexaRun run =
            vexa({QStringLiteral("info"), page(QStringLiteral("77")), QStringLiteral("--json")});
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
        QCOMPARE(json[u"playCount"].toString(), QStringLiteral("\"42\""));
        QCOMPARE(json[u"shareCount"].toString(), QStringLiteral("7"));
        QCOMPARE(json[u"fanCount"].toString(), QString()); // no "," after it
        QCOMPARE(json[u"createTime"].toString(), QStringLiteral("1600000000"));
        QCOMPARE(json[u"publishTime"].toString(), QStringLiteral("2020-09-13 20:26:40"));
        QCOMPARE(json[u"infoText"].toString(), QStringLiteral("第一行\r\n第二行"));
    }

    void plainRecordOfEverySample()
    {
        for (const QString &id : SampleService::sampleSoundIds()) {
            const VexaRun run = vexa({QStringLiteral("info"), page(id)});
            QCOMPARE(run.exitCode, 0);
            const QString out = QString::fromUtf8(run.out);
            QVERIFY(out.startsWith(QStringLiteral("soundId      ") + id + u'\n'));
            QVERIFY(out.contains(QStringLiteral("\npublishTime  ")));
        }
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrPart");

        const QString info = QStringLiteral("info");
        QTest::newRow("empty address")
            << QStringList{info, QString()} << 2 << QStringLiteral("请输入音乐地址..");
        QTest::newRow("secure scheme") << QStringList{info, QStringLiteral("https://x/sound/1")} << 2
                                       << QStringLiteral("地址有误，请检查..");
        QTest::newRow("dropped answer")
            << QStringList{info, QStringLiteral("fault-drop")} << 3 << QStringLiteral("could not fetch");
        QTest::newRow("stalled answer") << QStringList{info, QStringLiteral("fault-stall"),
                                                       QStringLiteral("--timeout"), QStringLiteral("0.5")}
                                        << 3 << QStringLiteral("no data received for 0.5 s");
        QTest::newRow("unknown sound")
            << QStringList{info, QStringLiteral("424242")} << 4 << QStringLiteral("no sound record");
        QTest::newRow("error page") << QStringList{info, QStringLiteral("fault-status")} << 4
                                    << QStringLiteral("HTTP status 500");
        QTest::newRow("missing address")
            << QStringList{info} << 64 << QStringLiteral("needs a sound page address");
        QTest::newRow("unknown option")
            << QStringList{info, QStringLiteral("--frobnicate")} << 64 << QStringLiteral("frobnicate");
        QTest::newRow("bad timeout") << QStringList{info, QStringLiteral("1001"), QStringLiteral("--timeout"),
                                                    QStringLiteral("soon")}
                                     << 64 << QStringLiteral("--timeout");
        QTest::newRow("unknown command")
            << QStringList{QStringLiteral("play")} << 64 << QStringLiteral("play");
    }

    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrPart);

        // A bare id stands for the sample service's page of that id.
        if (arguments.size() > 1 && !arguments.at(1).isEmpty() && !arguments.at(1).contains(u'/') &&
            !arguments.at(1).startsWith(u'-'))
            arguments[1] = page(arguments.at(1));
        const VexaRun run = vexa(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(stderrPart), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count(u'\n') >= 1, true);
    }

    void versionAndHelp()
    {
        const VexaRun version = runVexaHelper({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("V1.0.0\n"));

        const VexaRun help = runVexaHelper({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains("info ADDRESS"));
    }

    void demoServesTheSamples()
    {
        const VexaRun run = runVexaHelper({QStringLiteral("--demo"), QStringLiteral("info"),
                                           QStringLiteral("http://nowhere.example/sound/1001")});
        // The demo points every host at its own port, so a page of another host is refused.
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("sample service at http://127.0.0.1:")));

        // Its port is random, so a bare sample id stands for the page.
        const VexaRun byId =
            runVexaHelper({QStringLiteral("--demo"), QStringLiteral("info"), QStringLiteral("1001")});
        QCOMPARE(byId.exitCode, 0);
        QVERIFY(QString::fromUtf8(byId.out).contains(QStringLiteral("晨光里的小城")));
        QTemporaryDir dir;
        const VexaRun download = runVexaHelper({QStringLiteral("--demo"), QStringLiteral("download"),
                                                QStringLiteral("1001"), QStringLiteral("-o"), dir.path()});
        QCOMPARE(download.exitCode, 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    // The command line runs on a bare core application: with a window-system
    // plugin that cannot load, --version, --help and info still work, while the
    // window (the last row) cannot start, which shows the plugin really is unusable.
    void commandLineNeedsNoWindowSystem_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << true;
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << true;
        QTest::newRow("info") << QStringList{QStringLiteral("info"), QStringLiteral("1001")} << true;
        QTest::newRow("the window") << QStringList{} << false;
    }

    void commandLineNeedsNoWindowSystem()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, succeeds);
        if (arguments.size() == 2)
            arguments.last() = page(arguments.last());
        arguments << QStringLiteral("--api-host") << m_service.hostAndPort() << QStringLiteral("--web-host")
                  << m_service.hostAndPort() << QStringLiteral("--update-host") << m_service.hostAndPort();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        // Should the window start after all, it ends at its first paint.
        env.insert(QStringLiteral("VEXA_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("0"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXA_HELPER_EXE), arguments);
        QVERIFY(process.waitForFinished(60000));
        const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        QVERIFY2(ok == succeeds, process.readAllStandardError().constData());
    }

    void wantsCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("commandLine");

        QTest::newRow("nothing opens the windows") << QStringList{} << false;
        QTest::newRow("demo windows") << QStringList{QStringLiteral("--demo")} << false;
        QTest::newRow("valued options only")
            << QStringList{QStringLiteral("--web-host"), QStringLiteral("h"), QStringLiteral("--screenshot"),
                           QStringLiteral("f.png")}
            << false;
        QTest::newRow("value that looks like a command")
            << QStringList{QStringLiteral("--api-host"), QStringLiteral("info")} << false;
        QTest::newRow("command") << QStringList{QStringLiteral("info"), QStringLiteral("http://x")} << true;
        QTest::newRow("demo command")
            << QStringList{QStringLiteral("--demo"), QStringLiteral("info"), QStringLiteral("x")} << true;
        QTest::newRow("long help") << QStringList{QStringLiteral("--help")} << true;
        QTest::newRow("short version") << QStringList{QStringLiteral("-v")} << true;
        QTest::newRow("long version") << QStringList{QStringLiteral("--version")} << true;
        QTest::newRow("unknown command is reported") << QStringList{QStringLiteral("bogus")} << true;
        QTest::newRow("positional after --")
            << QStringList{QStringLiteral("--"), QStringLiteral("x")} << true;
        QTest::newRow("bare --") << QStringList{QStringLiteral("--")} << false;
    }

    void wantsCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, commandLine);
        QCOMPARE(Cli::wantsCommandLine(arguments), commandLine);
    }

    void cleanupTestCase() { m_service.stop(); }
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
