// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"
#include "support/vexa_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class CliTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QString page(const QString &id) const { return m_service.soundPageUrl(id); }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("stderrPart");
        const QString info = QStringLiteral("info");
        QTest::newRow("unknown option")
            << QStringList{info, QStringLiteral("--frobnicate")}
            << QStringLiteral("未知选项 “--frobnicate”（用法见 “vexa-helper --help”）\n");
        QTest::newRow("bad timeout") << QStringList{info, QStringLiteral("1001"), QStringLiteral("--timeout"),
                                                    QStringLiteral("soon")}
                                     << QStringLiteral("--timeout");
        QTest::newRow("bad host, before any demo")
            << QStringList{QStringLiteral("--demo"), info, QStringLiteral("1001"),
                           QStringLiteral("--api-host"), QStringLiteral("http://x/")}
            << QStringLiteral("--api-host");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("play")} << QStringLiteral("play");
        QTest::newRow("unknown language")
            << QStringList{info, QStringLiteral("1001"), QStringLiteral("--lang"), QStringLiteral("xx")}
            << QStringLiteral("--lang: ");
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, stderrPart);
        const VexaRun run = runVexaHelper(arguments);
        QCOMPARE(run.exitCode, 64);
        QVERIFY2(run.err.contains(QStringLiteral("vexa-helper: ")) && run.err.contains(stderrPart),
                 qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("使用示例服务")));
        QVERIFY(run.out.isEmpty());
    }

    // Whatever fails, stderr holds lines of one form, the first "vexa-helper: WHAT: WHY".
    void failuresTakeOneForm_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString info = QStringLiteral("info");
        const QString hot = QStringLiteral("hot");
        const QString config = QStringLiteral("config");
        const QString host = QStringLiteral("--web-host");
        QTest::newRow("unknown option") << QStringList{hot, QStringLiteral("-frobnicate")};
        QTest::newRow("unknown option, no command") << QStringList{QStringLiteral("--frobnicate")};
        QTest::newRow("value missing") << QStringList{hot, QStringLiteral("--timeout")};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("play")};
        QTest::newRow("bad timeout") << QStringList{hot, QStringLiteral("--timeout"), QStringLiteral("0")};
        QTest::newRow("bad host") << QStringList{hot, host, QStringLiteral("a b")};
        QTest::newRow("bad name template")
            << QStringList{QStringLiteral("download"), page(QStringLiteral("1001")), QStringLiteral("--name"),
                           QStringLiteral("{title}")};
        QTest::newRow("no address") << QStringList{info};
        QTest::newRow("address refused") << QStringList{info, QStringLiteral("ftp://x/sound/1")};
        QTest::newRow("sample id without --demo") << QStringList{info, QStringLiteral("1001")};
        QTest::newRow("nothing arrives") << QStringList{hot, host, QStringLiteral("127.0.0.1:1")};
        QTest::newRow("no record") << QStringList{
            info, page(QStringLiteral("424242")), QStringLiteral("--api-host"), m_service.hostAndPort(),
            host, m_service.hostAndPort()};
        QTest::newRow("hot with arguments") << QStringList{hot, QStringLiteral("x")};
        QTest::newRow("unknown setting") << QStringList{config, QStringLiteral("colour")};
        QTest::newRow("bad setting") << QStringList{config, QStringLiteral("tags"), QStringLiteral("maybe")};
    }

    void failuresTakeOneForm()
    {
        QFETCH(QStringList, arguments);
        const VexaRun run = runVexaHelper(arguments);
        QVERIFY(run.exitCode != 0);
        const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty() && lines.first().contains(QRegularExpression(
                                         QStringLiteral("^vexa-helper: \\S[^:]*(:[^ ][^:]*)*: \\S"))),
                 qPrintable(run.err));
        // One line, hints and all.
        QVERIFY2(lines.size() == 1, qPrintable(run.err));
    }

    void versionAndHelp()
    {
        const VexaRun version = runVexaHelper({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("V1.0.0\n"));

        const VexaRun help = runVexaHelper({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains("info ADDRESS"));
        // Every setting config knows, and what hot and history really print;
        // spaces and line breaks aside, as the help wraps its lines.
        const QString unwrapped =
            QString::fromUtf8(help.out).remove(QRegularExpression(QStringLiteral("\\s")));
        for (const char *part : {"clipboard-offers（", "jobs（", "hot和history打印一个数组"})
            QVERIFY2(unwrapped.contains(QString::fromUtf8(part)), part);
    }

    // A command's help: its usage, only the options it takes, its exit statuses.
    void commandHelp_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("notShown");
        QTest::newRow("download") << QStringLiteral("download")
                                  << QStringList{QStringLiteral("vexa-helper download ADDRESS..."),
                                                 QStringLiteral("--jobs N"), QStringLiteral("  130  ")}
                                  << QStringList{QStringLiteral("--json"), QStringLiteral("--screenshot")};
        QTest::newRow("info") << QStringLiteral("info")
                              << QStringList{QStringLiteral("vexa-helper info ADDRESS"),
                                             QStringLiteral("--json-strings"), QStringLiteral("  2  ")}
                              << QStringList{QStringLiteral("--jobs"), QStringLiteral("  5  ")};
        QTest::newRow("hot") << QStringLiteral("hot")
                             << QStringList{QStringLiteral("vexa-helper hot"), QStringLiteral("--timeout")}
                             << QStringList{QStringLiteral("--output"), QStringLiteral("  2  ")};
        QTest::newRow("history") << QStringLiteral("history")
                                 << QStringList{QStringLiteral("vexa-helper history"),
                                                QStringLiteral("--json")}
                                 << QStringList{QStringLiteral("--timeout"),
                                                QStringLiteral("--json-strings")};
        QTest::newRow("config") << QStringLiteral("config")
                                << QStringList{QStringLiteral("vexa-helper config"),
                                               QStringLiteral("clipboard-offers")}
                                << QStringList{QStringLiteral("--json"), QStringLiteral("--demo")};
    }

    void commandHelp()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, notShown);
        const VexaRun run = runVexaHelper({command, QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        const QString help = QString::fromUtf8(run.out);
        for (const QString &part : shown)
            QVERIFY2(help.contains(part), qPrintable(part + u'\n' + help));
        for (const QString &part : notShown)
            QVERIFY2(!help.contains(part), qPrintable(part + u'\n' + help));
    }

    void demoServesTheSamples()
    {
        const VexaRun run = runVexaHelper({QStringLiteral("--demo"), QStringLiteral("info"),
                                           QStringLiteral("http://nowhere.example/sound/1001")});
        // The demo points every host at its own port, so a page of another host is refused.
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("vexa-helper: 使用示例服务：http://127.0.0.1:")));

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

        // Ids on stdin are read as those given as arguments.
        QTemporaryDir piped;
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), piped.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXA_HELPER_EXE),
                      {QStringLiteral("--demo"), QStringLiteral("download"), QStringLiteral("-"),
                       QStringLiteral("-o"), piped.filePath(QStringLiteral("saved"))});
        process.write("1007\n 1008 \n");
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        QCOMPARE(QDir(piped.filePath(QStringLiteral("saved"))).entryList(QDir::Files).size(), 2);

        // Without the demo a sample id is no address, and the refusal says what would make it one.
        const VexaRun noDemo = runVexaHelper({QStringLiteral("info"), QStringLiteral("1001")});
        QCOMPARE(noDemo.exitCode, 2);
        QVERIFY2(noDemo.err.contains(QStringLiteral("须加 --demo")), qPrintable(noDemo.err));

        // Nothing typed stays nothing rather than becoming the bare page prefix.
        const VexaRun empty = runVexaHelper({QStringLiteral("--demo"), QStringLiteral("info"), QString()});
        QCOMPARE(empty.exitCode, 2);
        QVERIFY2(empty.err.endsWith(QStringLiteral("vexa-helper: 地址未被接受: 请输入音乐地址..\n")),
                 qPrintable(empty.err));
    }

    // Without its service the demo ends before any command runs.
    void demoWithoutTheService()
    {
        QTemporaryDir dir;
        const QString executable = dir.filePath(QStringLiteral("vexa-helper"));
        QVERIFY(QFile::copy(QStringLiteral(VEXA_HELPER_EXE), executable));
        const QString commands = QStringLiteral(VEXA_COMMANDS_MODULE);
        QVERIFY(QFile::copy(commands, dir.filePath(QFileInfo(commands).fileName())));
        QProcess process;
        process.start(executable, {QStringLiteral("--demo"), QStringLiteral("hot")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        const QByteArray err = process.readAllStandardError();
        // Told once, with the places looked at.
        QVERIFY2(err.startsWith("vexa-helper: 示例服务未能启动: 在 /"), err.constData());
        QVERIFY2(err.endsWith(" 找不到 vexa-sample-service\n"), err.constData());
        QVERIFY(process.readAllStandardOutput().isEmpty());
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

    void cleanupTestCase() { m_service.stop(); }
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
