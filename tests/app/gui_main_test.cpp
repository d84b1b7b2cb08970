// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"
#include "support/vexa_process.h"
#include "util/program_module.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString err;
};

QProcessEnvironment offscreenEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// The windows on the offscreen platform, from wherever the executable lies.
// The windows' module copied into folder, where a copied executable looks.
bool installWindowModule(const QString &folder)
{
    const QString module = QStringLiteral(VEXA_WINDOW_MODULE);
    return QDir().mkpath(folder) && QFile::copy(module, folder + u'/' + QFileInfo(module).fileName());
}

Run runWindow(const QString &executable, const QStringList &arguments,
              QProcessEnvironment env = offscreenEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(executable, arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The sample services still running whose parent is parent. Those handed to
// this test as orphans (it is their subreaper) and already ended are reaped.
QList<qint64> sampleServicesUnder(qint64 parent)
{
    QList<qint64> running;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // "PID (NAME) STATE PPID ...", the name cut at 15 bytes.
        const QByteArray line = stat.readAll();
        const qsizetype nameEnd = line.lastIndexOf(')');
        const QByteArray name = line.mid(line.indexOf('(') + 1, nameEnd - line.indexOf('(') - 1);
        const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
        if (!name.startsWith("vexa-sample") || fields.size() < 2 || fields.at(1).toLongLong() != parent)
            continue;
        if (fields.at(0) != "Z")
            running.append(pid);
        else if (parent == ::getpid())
            ::waitpid(pid_t(pid), nullptr, WNOHANG);
    }
    return running;
}

int requestsFor(const SampleService &service, const QByteArray &path, const QByteArray &query = {})
{
    int count = 0;
    for (const RecordedRequest &request : service.requests())
        count += request.path == path && request.target.contains(query) ? 1 : 0;
    return count;
}

// Pixels of the status bar strip that are pure red.
int redPixelsInStatusBar(const QImage &shot)
{
    int red = 0;
    for (int y = 414; y < 444; ++y)
        for (int x = 2; x < 789; ++x)
            red += shot.pixelColor(x, y) == QColor(Qt::red) ? 1 : 0;
    return red;
}

} // namespace

class GuiMainTest : public QObject
{
    Q_OBJECT

private slots:
    // Orphans of the programs run here come to this test, so none escapes the checks.
    void initTestCase() { QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0); }

    // The skin is looked for beside the executable, then in the installed data
    // folder next to it (../share/vexa-helper), also below a path with spaces
    // and Chinese characters; without either the window still starts.
    void skinBesideTheExecutableThenInstalled_data()
    {
        QTest::addColumn<QString>("besideColour");
        QTest::addColumn<QString>("installedColour");
        QTest::addColumn<bool>("redStatusBar");
        QTest::newRow("beside") << "#ff0000" << QString() << true;
        QTest::newRow("installed only") << QString() << "#ff0000" << true;
        QTest::newRow("beside wins") << "#ff0000"
                                     << "#0000ff" << true;
        QTest::newRow("installed loses") << "#0000ff"
                                         << "#ff0000" << false;
        QTest::newRow("none") << QString() << QString() << false;
    }

    void skinBesideTheExecutableThenInstalled()
    {
        QFETCH(QString, besideColour);
        QFETCH(QString, installedColour);
        QFETCH(bool, redStatusBar);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString prefix = dir.filePath(QStringLiteral("音乐 工具"));
        const QString bin = prefix + QStringLiteral("/bin");
        const QString data = prefix + QStringLiteral("/share/vexa-helper");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(data));
        const QString executable = bin + QStringLiteral("/vexa-helper");
        QVERIFY(QFile::copy(QStringLiteral(VEXA_HELPER_EXE), executable));
        QVERIFY(installWindowModule(moduleFolders(bin).last()));
        // --demo finds the sample service where it is installed.
        const QString libexec = prefix + QStringLiteral("/libexec/vexa-helper");
        QVERIFY(QDir().mkpath(libexec));
        QVERIFY(QFile::copy(QStringLiteral(VEXA_SAMPLE_SERVICE_EXE),
                            libexec + QStringLiteral("/vexa-sample-service")));
        const auto writeSkin = [](const QString &folder, const QString &colour) {
            QFile skin(folder + QStringLiteral("/1.she"));
            return skin.open(QIODevice::WriteOnly) &&
                   skin.write((QStringLiteral("/* 测试皮肤 */ QStatusBar#statusBar { background: ") + colour +
                               QStringLiteral("; }"))
                                  .toUtf8()) > 0;
        };
        if (!besideColour.isEmpty())
            QVERIFY(writeSkin(bin, besideColour));
        if (!installedColour.isEmpty())
            QVERIFY(writeSkin(data, installedColour));

        const QString shot = dir.filePath(QStringLiteral("shot.png"));
        const Run run =
            runWindow(executable, {QStringLiteral("--demo"), QStringLiteral("--screenshot"), shot});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QImage image(shot);
        QCOMPARE(image.size(), QSize(791, 446));
        if (redStatusBar)
            QVERIFY(redPixelsInStatusBar(image) > 5000);
        else
            QCOMPARE(redPixelsInStatusBar(image), 0);
    }

    void analysesAnAddressGivenAtStart()
    {
        QTemporaryDir dir;
        const QString shot = dir.filePath(QStringLiteral("analysed.png"));
        const Run run = runWindow(QStringLiteral(VEXA_HELPER_EXE),
                                  {QStringLiteral("--demo"), QStringLiteral("--address"),
                                   QStringLiteral("1003"), QStringLiteral("--screenshot"), shot});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("已复制到剪贴板：双击地址框，再按“分析”")));
        QCOMPARE(QImage(shot).size(), QSize(791, 446));
    }

    // The demo's service is a child process that ends with the program, also
    // when the program is killed and has no say.
    void demoServiceEndsWithTheProgram_data()
    {
        QTest::addColumn<int>("signalNumber"); // 0: the program ends by itself
        QTest::newRow("ends by itself") << 0;
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGKILL") << int(SIGKILL);
    }

    void demoServiceEndsWithTheProgram()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        QStringList arguments{QStringLiteral("--demo")};
        if (signalNumber == 0)
            arguments << QStringLiteral("--screenshot") << dir.filePath(QStringLiteral("shot.png"));
        QProcess process;
        process.setProcessEnvironment(offscreenEnvironment());
        process.start(QStringLiteral(VEXA_HELPER_EXE), arguments);
        QList<qint64> services;
        if (signalNumber != 0) {
            QByteArray err;
            QTRY_VERIFY_WITH_TIMEOUT((err += process.readAllStandardError()).contains("已复制到剪贴板"),
                                     30000);
            services = sampleServicesUnder(process.processId());
            QCOMPARE(services.size(), 1);
            QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
        }
        QVERIFY(process.waitForFinished(30000));
        if (signalNumber != SIGKILL) {
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), signalNumber == 0 ? 0 : 128 + signalNumber);
        }
        for (const qint64 pid : services)
            QTRY_VERIFY_WITH_TIMEOUT(!processIsRunning(pid), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sampleServicesUnder(::getpid()).isEmpty(), 10000);
    }

    // No window opens without the demo's service.
    void demoWithoutTheService()
    {
        QTemporaryDir dir;
        const QString executable = dir.filePath(QStringLiteral("vexa-helper"));
        QVERIFY(QFile::copy(QStringLiteral(VEXA_HELPER_EXE), executable));
        QVERIFY(installWindowModule(dir.path()));
        QProcessEnvironment env = offscreenEnvironment();
        env.insert(QStringLiteral("VEXA_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("0"));
        const Run run = runWindow(executable, {QStringLiteral("--demo")}, env);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QRegularExpression(
                     QStringLiteral("^vexa-helper: 示例服务未能启动: 在 /.* 找不到 vexa-sample-service$"),
                     QRegularExpression::MultilineOption)),
                 qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("first-paint")));
    }

    // A later start hands its address to the open window and ends; the window
    // analyses it only once its update check has let the analysis in.
    // --new-window opens a window of its own instead.
    void laterStartHandsOver()
    {
        SampleService service;
        QVERIFY(service.start());
        service.closeGate("/version/main.txt");
        QTemporaryDir dir;
        QProcessEnvironment env = offscreenEnvironment();
        env.insert(QStringLiteral("VEXA_HELPER_INSTANCE_SOCKET"), dir.filePath(QStringLiteral("window")));
        const QString host = service.hostAndPort();
        const QStringList hosts{QStringLiteral("--web-host"),    host, QStringLiteral("--api-host"), host,
                                QStringLiteral("--update-host"), host};
        const QString helper = QStringLiteral(VEXA_HELPER_EXE);
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(helper, hosts);
        QTRY_COMPARE_WITH_TIMEOUT(service.heldAtGate("/version/main.txt"), 1, 30000);

        QCOMPARE(runWindow(helper, hosts + QStringList{service.soundPageUrl(QStringLiteral("1002"))}, env)
                     .exitCode,
                 0);
        QCOMPARE(runWindow(helper, hosts, env).exitCode, 0); // no address: only raised
        service.openGate("/version/main.txt");
        // Handed over until one arrives after the check: that one is analysed.
        QTRY_VERIFY_WITH_TIMEOUT(
            runWindow(helper, {service.soundPageUrl(QStringLiteral("1003"))}, env).exitCode == 0 &&
                requestsFor(service, "/sound/info", "sound_id=1003") > 0,
            30000);
        QCOMPARE(requestsFor(service, "/sound/info", "sound_id=1002"), 0);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(helper, hosts + QStringList{QStringLiteral("--new-window")});
        QTRY_COMPARE_WITH_TIMEOUT(requestsFor(service, "/version/main.txt"), 2, 30000);
        QCOMPARE(second.state(), QProcess::Running);
        second.terminate();
        QVERIFY(second.waitForFinished(30000));
        // The first window still answers: a start that found none would not end.
        QCOMPARE(runWindow(helper, hosts, env).exitCode, 0);
        first.terminate();
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 128 + SIGTERM);
    }

    // A socket folder another user could reach is not used: said in one
    // line, and the window opens all the same.
    void unsafeSocketFolderTold()
    {
        SampleService service;
        QVERIFY(service.start());
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("vexa-helper-%1").arg(::getuid()));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
        QProcessEnvironment env = offscreenEnvironment();
        env.remove(QStringLiteral("VEXA_HELPER_INSTANCE_SOCKET"));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("TMPDIR"), dir.path());
        env.insert(QStringLiteral("VEXA_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("0"));
        const QString host = service.hostAndPort();
        const Run run = runWindow(QStringLiteral(VEXA_HELPER_EXE),
                                  {QStringLiteral("--web-host"), host, QStringLiteral("--api-host"), host,
                                   QStringLiteral("--update-host"), host},
                                  env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.startsWith(QStringLiteral("vexa-helper: 不使用文件夹 %1: 其他用户也能进入（权限应为 "
                                                   "0700），此窗口不接收之后启动时交来的地址\n")
                                        .arg(folder)),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(QDir(folder).filePath(QStringLiteral("window.socket"))));
    }

    void badOptionsAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("told"); // a whole line, or its start
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--no-such-option")} << QStringLiteral("vexa-helper: 用法有误: ");
        QTest::newRow("bad host") << QStringList{QStringLiteral("--web-host"), QStringLiteral("http://x/")}
                                  << QStringLiteral("vexa-helper: 用法有误: --web-host：“http://x/” "
                                                    "不是主机名（可带端口）\n");
        QTest::newRow("bad host, English")
            << QStringList{QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--web-host"),
                           QStringLiteral("http://x/")}
            << QStringLiteral(
                   "vexa-helper: wrong usage: --web-host: \"http://x/\" is not a host name with an "
                   "optional port\n");
        QTest::newRow("screenshot without file")
            << QStringList{QStringLiteral("--screenshot")} << QStringLiteral("vexa-helper: 用法有误: ");
        QTest::newRow("two addresses")
            << QStringList{QStringLiteral("http://h/sound/1"), QStringLiteral("http://h/sound/2")}
            << QStringLiteral("vexa-helper: 用法有误: 未知命令");
        QTest::newRow("download without addresses") << QStringList{QStringLiteral("--download")}
                                                    << QStringLiteral("vexa-helper: 用法有误: --download");
        QTest::newRow("unknown language") << QStringList{QStringLiteral("--lang"), QStringLiteral("xx")}
                                          << QStringLiteral("vexa-helper: --lang: ");
    }

    void badOptionsAreUsageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, told);
        const Run run = runWindow(QStringLiteral(VEXA_HELPER_EXE), arguments);
        QCOMPARE(run.exitCode, 64);
        QVERIFY2(run.err.startsWith(told) || run.err.contains(u'\n' + told), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(GuiMainTest)
#include "gui_main_test.moc"
