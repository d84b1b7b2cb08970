// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The command-line front run under LeakSanitizer (sanitizer builds only):
// every command, on success and on failure, ends without a leak report.

#include "sample_service/sample_service.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sanitizer/lsan_interface.h>

namespace {

constexpr int LeakExitCode = 23;

// Kept only in a disguised form, so the leak check cannot find the block
// through it; freed again after the check.
quintptr g_hiddenBlock = 0;
constexpr quintptr HideMask = 0x5a5a5a5a5a5a5a5a;

Q_NEVER_INLINE void leakOneBlock()
{
    g_hiddenBlock = reinterpret_cast<quintptr>(new char[64]) ^ HideMask;
}

} // namespace

class LeakCheckTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_folder;

    QString page(const QString &id) const { return m_service.soundPageUrl(id); }

    QProcessEnvironment leakCheckEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   QStringLiteral("detect_leaks=1:exitcode=%1").arg(LeakExitCode));
        env.insert(QStringLiteral("LSAN_OPTIONS"),
                   QStringLiteral("suppressions=%1:print_suppressions=1").arg(VEXA_LSAN_SUPPRESSIONS));
        return env;
    }

    void start(QProcess &process, const QStringList &arguments) const
    {
        process.setProcessEnvironment(leakCheckEnvironment());
        process.start(QStringLiteral(VEXA_HELPER_EXE),
                      QStringList{QStringLiteral("--api-host"), m_service.hostAndPort(),
                                  QStringLiteral("--web-host"), m_service.hostAndPort()} +
                          arguments);
    }

    static void verifyClean(QProcess &process, int exitCode)
    {
        QVERIFY(process.waitForFinished(120000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(!err.contains(QStringLiteral("Sanitizer")), qPrintable(err));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start());
        QVERIFY(m_folder.isValid());
    }

    // Without this, a switched-off detector would pass every row below.
    void detectorFindsALeak()
    {
        leakOneBlock();
        QCOMPARE(__lsan_do_recoverable_leak_check(), 1);
        qInfo("The leak report above is this check's own block, freed now.");
        delete[] reinterpret_cast<char *>(g_hiddenBlock ^ HideMask);
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const QString info = QStringLiteral("info");
        const QString hot = QStringLiteral("hot");
        const QString download = QStringLiteral("download");
        const QString output = QStringLiteral("-o");
        const QString folder = m_folder.path();
        QTest::newRow("info") << QStringList{info, page(QStringLiteral("1001"))} << 0;
        QTest::newRow("info, json") << QStringList{info, page(QStringLiteral("1002")),
                                                   QStringLiteral("--json")}
                                    << 0;
        QTest::newRow("info, dropped answer") << QStringList{info, page(QStringLiteral("fault-drop"))} << 3;
        QTest::newRow("info, no record") << QStringList{info, page(QStringLiteral("424242"))} << 4;
        QTest::newRow("hot") << QStringList{hot} << 0;
        QTest::newRow("hot, json") << QStringList{hot, QStringLiteral("--json")} << 0;
        QTest::newRow("hot, nobody listening")
            << QStringList{hot, QStringLiteral("--web-host"), QStringLiteral("127.0.0.1:1")} << 3;
        QTest::newRow("download") << QStringList{download, page(QStringLiteral("1001")), output, folder} << 0;
        QTest::newRow("download, generated file")
            << QStringList{download, page(QStringLiteral("file-bytes-3000000")), output, folder} << 0;
        QTest::newRow("download, dropped connection")
            << QStringList{download, page(QStringLiteral("file-drop-1000000")), output, folder} << 5;
        QTest::newRow("download, error status")
            << QStringList{download, page(QStringLiteral("file-status-404")), output, folder} << 5;
        QTest::newRow("download, several, one failing")
            << QStringList{download,
                           page(QStringLiteral("file-bytes-3000001")),
                           page(QStringLiteral("424242")),
                           page(QStringLiteral("1002")),
                           output,
                           folder}
            << 5;
        QTest::newRow("history") << QStringList{QStringLiteral("history"), QStringLiteral("--json")} << 0;
    }

    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QProcess process;
        start(process, arguments);
        verifyClean(process, exitCode);
    }

    // Ended by a termination request in the middle of a long download.
    void interruptedDownload()
    {
        QTemporaryDir dir;
        QProcess process;
        start(process, {QStringLiteral("download"), page(QStringLiteral("file-bytes-1000000000")),
                        QStringLiteral("-o"), dir.path()});
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dir.path()).entryList(QDir::Files).isEmpty(), 60000);
        process.terminate();
        verifyClean(process, 143); // 128 + SIGTERM, as shells report it
    }
};

QTEST_GUILESS_MAIN(LeakCheckTest)
#include "leak_check_test.moc"
