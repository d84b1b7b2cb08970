// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/download_command.h"
#include "sample_service/sample_encodings.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "support/vexa_process.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class DownloadCommandTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QString page(const QString &id) const { return m_service.soundPageUrl(id); }

    // Serves a sound named "a" by singer "b" (saved as "b - a.mp3") whose file is at fileUrl.
    void setSoundWithFile(const QString &id, const QString &fileUrl)
    {
        m_service.setSoundInfoBody(id, R"({"info":{"sound":{"name":"a","pic_200":"","source":")" +
                                           fileUrl.toUtf8() +
                                           R"(","sound_count":1,"share_count":1,"create_time":0,"info":"",)"
                                           R"("user":{"follow_count":1,"name":"b"}}}})");
    }

    VexaRun vexa(const QStringList &arguments)
    {
        return runVexaHelper(QStringList{QStringLiteral("--api-host"), m_service.hostAndPort(),
                                         QStringLiteral("--web-host"), m_service.hostAndPort()} +
                             arguments);
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void progressLines_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<QString>("line");
        const qint64 mib = 1024 * 1024;
        QTest::newRow("half, with bar")
            << 5 * mib << 10 * mib << 10 << false
            << QStringLiteral("[#####-----]  50%  5.0 MiB / 10.0 MiB  2.0 MiB/s  剩余 0:03");
        QTest::newRow("plain") << 1 * mib << 10 * mib << 0 << false
                               << QStringLiteral(" 10%  1.0 MiB / 10.0 MiB  2.0 MiB/s  剩余 0:05");
        QTest::newRow("hours left") << 1 * mib << 10 * 1024 * mib << 0 << false
                                    << QStringLiteral("  0%  1.0 MiB / 10.0 GiB  2.0 MiB/s  剩余 1:25:20");
        QTest::newRow("length unknown")
            << 3 * mib << qint64(-1) << 10 << false << QStringLiteral("3.0 MiB  2.0 MiB/s");
        QTest::newRow("more than announced") << 11 * mib << 10 * mib << 4 << false
                                             << QStringLiteral("[####] 100%  11.0 MiB / 10.0 MiB  2.0 MiB/s");
        // Not the nought of a finished download, but its average.
        QTest::newRow("ended") << 10 * mib << 10 * mib << 0 << true
                               << QStringLiteral("100%  10.0 MiB / 10.0 MiB  平均 2.0 MiB/s");
    }

    void progressLines()
    {
        QFETCH(qint64, received);
        QFETCH(qint64, total);
        QFETCH(int, width);
        QFETCH(bool, ended);
        QFETCH(QString, line);
        QCOMPARE(Cli::progressLine(received, total, 2.0 * 1024 * 1024, width, ended), line);
    }

    void savesTheFile()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("new"));
        const qint64 size = 2 * 1024 * 1024 + 5;
        const VexaRun run = vexa({QStringLiteral("download"), page(QStringLiteral("file-bytes-%1").arg(size)),
                                  QStringLiteral("-o"), folder});
        QCOMPARE(run.exitCode, 0);
        const QString path =
            QDir(folder).filePath(QStringLiteral("样本服务 - 下载样本 bytes-%1.mp3").arg(size));
        QCOMPARE(QString::fromUtf8(run.out), path + u'\n');
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll() == sampleFileBody(size));
        // Not a terminal: whole lines, no carriage returns.
        QVERIFY(!run.err.contains(u'\r'));
        QVERIFY(run.err.contains(QStringLiteral("100%")));
        QVERIFY2(!run.err.contains(QStringLiteral(" 0 B/s")), qPrintable(run.err));

        // Again, forced past the history: a second file beside the first.
        const VexaRun again =
            vexa({QStringLiteral("download"), page(QStringLiteral("file-bytes-%1").arg(size)),
                  QStringLiteral("--output"), folder, QStringLiteral("--force")});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(QString::fromUtf8(again.out).endsWith(QStringLiteral("bytes-%1 (1).mp3\n").arg(size)));
        // Quiet: the path and nothing else (the body is no MP3, so no tags to fail).
        const VexaRun quiet =
            vexa({QStringLiteral("download"), page(QStringLiteral("file-bytes-%1").arg(size)),
                  QStringLiteral("-o"), folder, QStringLiteral("--force"), QStringLiteral("--quiet"),
                  QStringLiteral("--no-tags")});
        QCOMPARE(quiet.exitCode, 0);
        QCOMPARE(quiet.err, QString());
        QVERIFY(QString::fromUtf8(quiet.out).endsWith(QStringLiteral("bytes-%1 (2).mp3\n").arg(size)));
    }

    // A rerun continues the part file that a failed run left behind.
    void rerunContinues()
    {
        // Every answer drops after 400000 bytes: the first run gives up at
        // 1600000 after three retries, the rerun's answer carries the rest.
        const qint64 size = 2000000;
        const QString url = m_service.baseUrl() + QStringLiteral("/file/bytes-%1;drop=400000.mp3").arg(size);
        // The program keeps a file address's part before its "?".
        setSoundWithFile(QStringLiteral("continued"), url + QStringLiteral("?sign=1"));
        QTemporaryDir dir;
        const VexaRun failed = vexa({QStringLiteral("download"), page(QStringLiteral("continued")),
                                     QStringLiteral("-o"), dir.path()});
        QCOMPARE(failed.exitCode, 5);
        QVERIFY2(failed.err.contains(QStringLiteral("正在重试（第 2 次，共 4 次）")) &&
                     failed.err.contains(QStringLiteral("正在重试（第 4 次，共 4 次）")),
                 qPrintable(failed.err));
        QVERIFY2(failed.err.contains(QStringLiteral("vexa-helper: 已保留 %1，再次运行同一命令即可继续下载")
                                         .arg(dir.filePath(QStringLiteral("b - a.mp3.part")))),
                 qPrintable(failed.err));
        const VexaRun run = vexa({QStringLiteral("download"), page(QStringLiteral("continued")),
                                  QStringLiteral("-o"), dir.path()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err + QDir(dir.path()).entryList(QDir::Files).join(u',')));
        QVERIFY2(run.err.contains(QStringLiteral("vexa-helper: 从 1.5 MiB 处继续先前未完成的下载")),
                 qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("100%")));
        const QString saved = dir.filePath(QStringLiteral("b - a.mp3"));
        QCOMPARE(QString::fromUtf8(run.out), saved + u'\n');
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == sampleFileBody(size));
        QCOMPARE(m_service.requests().constLast().header("Range"), QByteArray("bytes=1600000-"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("b - a.mp3")});
    }

    // The hot list names some sounds twice: each is saved once.
    void hotList()
    {
        QTemporaryDir dir;
        const VexaRun run =
            vexa({QStringLiteral("download"), QStringLiteral("--hot"), QStringLiteral("-o"), dir.path()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList saved = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(QString::fromUtf8(run.out).count(u'\n'), saved.size());
        QVERIFY(saved.size() > 1);
        QVERIFY2(saved.filter(QStringLiteral(" (1)")).isEmpty(), qPrintable(saved.join(u',')));
    }

    void interrupted_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("Ctrl-C") << int(SIGINT) << 130;
        QTest::newRow("termination request") << int(SIGTERM) << 143;
    }

    // Ctrl-C or a termination request ends the download cleanly, with the
    // status a shell gives a command that signal ended.
    void interrupted()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, exitCode);
        setSoundWithFile(QStringLiteral("slow-file"),
                         m_service.baseUrl() + QStringLiteral("/fault/stall-body?x"));
        QTemporaryDir dir;
        QProcess process;
        process.start(QStringLiteral(VEXA_HELPER_EXE),
                      {QStringLiteral("--api-host"), m_service.hostAndPort(), QStringLiteral("--web-host"),
                       m_service.hostAndPort(), QStringLiteral("download"), page(QStringLiteral("slow-file")),
                       QStringLiteral("-o"), dir.path()});
        QTRY_COMPARE_WITH_TIMEOUT(QDir(dir.path()).entryList(QDir::Files),
                                  QStringList{QStringLiteral("b - a.mp3.part")}, 20000);
        ::kill(pid_t(process.processId()), signalNumber);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY(process.readAllStandardError().contains("已取消"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void nameTemplates_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("saved");
        QTest::newRow("subfolder") << QStringLiteral("{singer}/{name}") << 0 << QStringLiteral("b/a.mp3");
        QTest::newRow("unknown field") << QStringLiteral("{title}") << 64 << QString();
    }

    // A bad template is refused before anything is fetched.
    void nameTemplates()
    {
        QFETCH(QString, pattern);
        QFETCH(int, exitCode);
        QFETCH(QString, saved);
        setSoundWithFile(QStringLiteral("named"), m_service.baseUrl() + QStringLiteral("/file/bytes-10.mp3"));
        const qsizetype asked = m_service.requests().size();
        QTemporaryDir dir;
        const VexaRun run = vexa({QStringLiteral("download"), page(QStringLiteral("named")),
                                  QStringLiteral("-o"), dir.path(), QStringLiteral("--name"), pattern});
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0) {
            QCOMPARE(QString::fromUtf8(run.out), QDir(dir.path()).filePath(saved) + u'\n');
            return;
        }
        QCOMPARE(run.err, QStringLiteral("vexa-helper: --name 模板 “{title}” 有误: 未知字段 {title}\n"));
        QCOMPARE(m_service.requests().size(), asked);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void tags_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("tagged");
        QTest::newRow("by default") << QStringList() << true;
        QTest::newRow("--no-tags") << QStringList{QStringLiteral("--no-tags")} << false;
    }

    // Tagged as the window tags, unless told not to: then byte for byte as served.
    void tags()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, tagged);
        QTemporaryDir dir;
        const VexaRun run = vexa(QStringList{QStringLiteral("download"), page(QStringLiteral("1004-mp3")),
                                             QStringLiteral("-o"), dir.path()} +
                                 options);
        QCOMPARE(run.exitCode, 0);
        QFile saved(QDir(dir.path()).filePath(QStringLiteral("周以安 - 月光下的海.mp3")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QCOMPARE(bytes.startsWith("ID3"), tagged);
        const QByteArray served = encodeSampleAudio(sampleAudioWav(1004), QStringLiteral("mp3")).bytes;
        QVERIFY(!served.isEmpty());
        QVERIFY(tagged ? bytes.endsWith(served) : bytes == served);
        QVERIFY(!run.err.contains(QStringLiteral("未写入标签")));
    }

    // A body that is not what its name says is saved as it came, and said so.
    void untagged()
    {
        QTemporaryDir dir;
        const VexaRun run = vexa({QStringLiteral("download"), page(QStringLiteral("1001-fake")),
                                  QStringLiteral("-o"), dir.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.contains(QStringLiteral("vexa-helper: 已保存，但未写入标签: 文件内容与扩展名不符")));
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrPart");
        QTest::addColumn<QString>("language"); // empty: the default
        QTest::newRow("dropped connection") << page(QStringLiteral("file-drop-1000000")) << 5
                                            << QStringLiteral("vexa-helper: 无法下载 ") << QString();
        QTest::newRow("error status") << page(QStringLiteral("file-status-404")) << 5
                                      << QStringLiteral(": 服务器回应 404\n") << QString();
        // The reason comes in the language of the rest of the line.
        QTest::newRow("error status, English")
            << page(QStringLiteral("file-status-404")) << 5 << QStringLiteral(": the server answered 404\n")
            << QStringLiteral("en");
        QTest::newRow("error status, Traditional")
            << page(QStringLiteral("file-status-404")) << 5 << QStringLiteral(": 伺服器回應 404\n")
            << QStringLiteral("zh_TW");
        QTest::newRow("file address not http") << page(QStringLiteral("local-file")) << 5
                                               << QStringLiteral("不是 http 或 https 地址") << QString();
        QTest::newRow("address rejected")
            << QStringLiteral("ftp://x/sound/1") << 2 << QStringLiteral("地址有误") << QString();
        QTest::newRow("no sound record")
            << page(QStringLiteral("424242")) << 4
            << QStringLiteral("的回答中没有音乐信息: 未能获取音乐信息，请检查地址..\n") << QString();
        QTest::newRow("jobs 0") << QStringLiteral("--jobs=0") << 64
                                << QStringLiteral("--jobs 的值 “0” 有误: 须为 1 到 10 的整数") << QString();
        QTest::newRow("jobs 11") << QStringLiteral("--jobs=11") << 64 << QStringLiteral("“11” 有误")
                                 << QString();
    }

    void exitStatuses()
    {
        QFETCH(QString, address);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrPart);
        QFETCH(QString, language);
        m_service.setSoundInfoBody(
            QStringLiteral("local-file"),
            R"({"info":{"sound":{"name":"a","pic_200":"","source":"file:///etc/passwd?x","sound_count":1,)"
            R"("share_count":1,"create_time":0,"info":"","user":{"follow_count":1,"name":"b"}}}})");
        QTemporaryDir dir;
        // An option in place of the address: a usage error before anything is fetched.
        QStringList arguments{QStringLiteral("download"), address, QStringLiteral("-o"), dir.path()};
        if (address.startsWith(u'-'))
            arguments.insert(1, page(QStringLiteral("file-bytes-10")));
        if (!language.isEmpty())
            arguments << QStringLiteral("--lang") << language;
        const VexaRun run = vexa(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(stderrPart), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QStringLiteral("QNetworkReply")),
                 qPrintable(run.err)); // Qt's own complaints
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A cover in a format players do not show is decoded to be made PNG;
    // what the picture reader says of a damaged one is Qt's to say, not the
    // program's.
    void libraryWarningsOnlyWhenVerbose_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("shown");
        QTest::newRow("by default") << QStringList() << false;
        QTest::newRow("--verbose") << QStringList{QStringLiteral("--verbose")} << true;
    }

    void libraryWarningsOnlyWhenVerbose()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, shown);
        // Four rows of pixels promised, one given.
        const QByteArray cutXpm =
            "/* XPM */\nstatic const char *const x[] = {\n\"4 4 1 1\",\n\"a c #008b8b\",\n"
            "\"aaaa\",\n};\n";
        m_service.setSoundInfoBody(QStringLiteral("cut-cover"), cutXpm, "image/x-xpixmap");
        const QByteArray base = m_service.baseUrl().toUtf8();
        m_service.setSoundInfoBody(QStringLiteral("cut-cover-flac"),
                                   R"({"info":{"sound":{"name":"a","pic_200":")" + base +
                                       R"(/sound/info?sound_id=cut-cover","source":")" + base +
                                       R"(/audio/1001.flac","sound_count":1,"share_count":1,"create_time":0,)"
                                       R"("info":"","user":{"follow_count":1,"name":"b"}}}})");
        QTemporaryDir dir;
        const VexaRun run =
            vexa(QStringList{QStringLiteral("download"), page(QStringLiteral("cut-cover-flac")),
                             QStringLiteral("-o"), dir.path()} +
                 options);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("b - a.flac"))));
        QVERIFY2(run.err.contains(QStringLiteral("XPM")) == shown, qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(DownloadCommandTest)
#include "download_command_test.moc"
