// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program killed outright while three downloads run: the next start
// shows them paused with the bytes they had, and one click continues all
// three from their part files to whole files.

#include "app/program_downloads.h"
#include "library/download_history.h"
#include "library/download_settings.h"
#include "net/network_access.h"
#include "queue/download_queue.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "support/folder_files.h"
#include "support/user_input.h"

#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// Slow enough that none of the files is whole when the program is killed,
// a few seconds after the downloads start, even in a sanitizer build.
constexpr qint64 PacedRate = 128 * 1024;
const QList<qint64> FileSizes = {6 << 20, 7 << 20, 8 << 20};

// Runs a statement on its own connection to the history file and gives
// its rows, each row's columns joined by "|"; nullopt when the file cannot
// be read.
std::optional<QStringList> historyRows(const QString &statement, bool readOnly = true)
{
    std::optional<QStringList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("restart"));
        db.setDatabaseName(DownloadHistory::defaultPath());
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(statement)) {
                rows.emplace();
                while (query.next()) {
                    QStringList columns;
                    for (int i = 0; i < query.record().count(); ++i)
                        columns.append(query.value(i).toString());
                    rows->append(columns.join(u'|'));
                }
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("restart"));
    return rows;
}

bool allThreeRunning()
{
    const auto rows = historyRows(QStringLiteral("SELECT state, bytes_done > 0 FROM downloads"));
    return rows && *rows == QStringList(3, QStringLiteral("running|1"));
}

} // namespace

class DownloadRestartTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;

    QString page(qint64 size) const
    {
        return m_service.soundPageUrl(QStringLiteral("file-bytes-%1").arg(size));
    }

private slots:
    // Everything the program keeps goes into folders of this test's own,
    // shared by the program it runs and the windows it makes itself.
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            qputenv(name, m_dir.filePath(QString::fromLatin1(name)).toLocal8Bit());
        qputenv("VEXA_HELPER_INSTANCE_SOCKET", m_dir.filePath(QStringLiteral("window.socket")).toLocal8Bit());
        QCoreApplication::setApplicationName(QStringLiteral("vexa-helper"));
        DownloadSettings settings = loadDownloadSettings();
        settings.folder = m_dir.filePath(QStringLiteral("downloads"));
        settings.tags = false; // the saved files are then the served bodies
        QVERIFY(saveDownloadSettings(settings));
        QVERIFY(m_service.start());
    }

    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    // The third download comes from a later start, handed over to the window.
    void killedThenContinued()
    {
        m_service.setFileRate(PacedRate);
        const QString host = m_service.hostAndPort();
        const auto start = [&](QProcess &process, const QList<qint64> &sizes) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            process.setProcessEnvironment(env);
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QStringList arguments = {QStringLiteral("--download")};
            for (const qint64 size : sizes)
                arguments.append(page(size));
            arguments += {QStringLiteral("--api-host"),    host, QStringLiteral("--web-host"), host,
                          QStringLiteral("--update-host"), host};
            process.start(QStringLiteral(VEXA_HELPER_EXE), arguments);
        };
        QProcess program;
        start(program, FileSizes.first(2));
        const auto reap = qScopeGuard([&program] {
            program.kill();
            program.waitForFinished();
        });
        QVERIFY(program.waitForStarted());
        // Queued once the update check is through, so the window listens by then.
        QTRY_VERIFY_WITH_TIMEOUT(
            historyRows(QStringLiteral("SELECT id FROM downloads")).value_or(QStringList()).size() == 2,
            30000);
        QProcess later;
        start(later, FileSizes.mid(2));
        QVERIFY(later.waitForFinished(30000));
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(allThreeRunning(), 30000);
        program.kill(); // SIGKILL: nothing of the program's own ending runs
        QVERIFY(program.waitForFinished());
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        QCOMPARE(historyRows(QStringLiteral("PRAGMA integrity_check"), false), QStringList{"ok"});

        // The next start: the same history, queue and windows as the program's.
        const ServiceConfig config = ServiceConfig::allAt(host);
        MainWindow main(config);
        main.setSkinPath(QStringLiteral("/nonexistent/1.she"));
        ProgramDownloads downloads(main, main.settings(), config, {});
        QList<DownloadEntry> entries = downloads.history().page(0, 10);
        QCOMPARE(entries.size(), 3);
        for (const DownloadEntry &entry : std::as_const(entries)) {
            QCOMPARE(entry.state, DownloadState::Paused);
            QVERIFY(entry.bytesDone > 0);
            QVERIFY(entry.bytesDone < entry.size);
            QCOMPARE(entry.bytesDone, QFileInfo(entry.partPath).size());
        }

        m_service.setFileRate(0);
        m_service.clearRequests();
        downloads.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(downloads.window()));
        UserInput::click(downloads.window()->findChild<QToolButton *>(QStringLiteral("resumeAllButton")));
        QTRY_VERIFY_WITH_TIMEOUT(downloads.queue().isIdle(), 30000);

        for (const DownloadEntry &before : std::as_const(entries)) {
            const DownloadEntry after = *downloads.history().entry(before.id);
            QCOMPARE(after.state, DownloadState::Done);
            QVERIFY(contents(after.savedPath) == sampleFileBody(after.size));
            QVERIFY(!QFileInfo::exists(before.partPath));
            // Went on from where the part file ended.
            const QString path = QUrl(before.fileUrl).path();
            QStringList ranges;
            for (const RecordedRequest &request : m_service.requests())
                if (QString::fromUtf8(request.path) == path)
                    ranges.append(QString::fromLatin1(request.header("Range")));
            QCOMPARE(ranges, QStringList{QStringLiteral("bytes=%1-").arg(before.bytesDone)});
        }
        QCOMPARE(historyRows(QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
    }
};

QTEST_MAIN(DownloadRestartTest)
#include "download_restart_test.moc"
