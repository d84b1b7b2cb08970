// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "support/folder_files.h"
#include "support/vexa_process.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

// One statement on a connection of the test's own.
bool sql(const QString &path, const QString &statement)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sql"));
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(statement);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("sql"));
    return ok;
}

// Modes do not stop root, which the suite may run as: then the file
// system's immutable flag stands in. False when neither can be had.
bool setReadOnly(const QString &path, bool readOnly)
{
    if (::geteuid() != 0) {
        const QFile::Permissions all = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
        return QFile::setPermissions(path, readOnly ? all : all | QFile::WriteOwner | QFile::WriteUser);
    }
    return QProcess::execute(QStringLiteral("chattr"),
                             {readOnly ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

} // namespace

class BatchDownloadTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QString page(const QString &id) const { return m_service.soundPageUrl(id); }
    static QString savedName(qint64 size)
    {
        return QStringLiteral("样本服务 - 下载样本 bytes-%1.mp3").arg(size);
    }

    // The program with the hosts at the service, its own data folder, and
    // input on stdin.
    QProcess *start(const QStringList &arguments, const QString &dataHome, const QByteArray &input = {},
                    const QStringList &command = {QStringLiteral("download"), QStringLiteral("--no-tags")})
    {
        auto *process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(VEXA_HELPER_EXE),
                       QStringList{QStringLiteral("--api-host"), m_service.hostAndPort(),
                                   QStringLiteral("--web-host"), m_service.hostAndPort()} +
                           command + arguments);
        process->write(input);
        process->closeWriteChannel();
        return process;
    }

    VexaRun run(const QStringList &arguments, const QString &dataHome, const QByteArray &input = {})
    {
        return finished(start(arguments, dataHome, input));
    }

    static VexaRun finished(QProcess *process)
    {
        VexaRun result;
        const bool ended = process->state() == QProcess::NotRunning || process->waitForFinished(60000);
        result.exitCode = ended ? process->exitCode() : -1;
        result.out = process->readAllStandardOutput();
        result.err = QString::fromUtf8(process->readAllStandardError());
        return result;
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    // One bad address among several: the others are saved, the summary
    // names it once, and the run fails as a whole. Addresses come as
    // arguments or from stdin, where blank lines and spaces are not
    // addresses, and are taken as people paste them.
    void severalWithOneFailing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("reason");
        const QString bad = page(QStringLiteral("file-status-404"));
        QTest::newRow("arguments") << QStringList{page(QStringLiteral("file-bytes-1001")), bad,
                                                  page(QStringLiteral("file-bytes-1002"))}
                                   << QByteArray() << bad << QStringLiteral("服务器回应 404");
        QTest::newRow("stdin") << QStringList{QStringLiteral("-")}
                               << ("  " + page(QStringLiteral("file-bytes-1001")).toUtf8() +
                                   "\n\n \t\nnot-an-address\n" +
                                   page(QStringLiteral("file-bytes-1002")).toUtf8() + "\n not-an-address ")
                               << QStringLiteral("not-an-address") << QStringLiteral("地址有误");
        // The same sound written two ways is saved once.
        QTest::newRow("pasted forms")
            << QStringList{page(QStringLiteral("file-bytes-1001")) + QStringLiteral("?from=share "),
                           QStringLiteral("https://%1/sound/file-bytes-1002#x").arg(m_service.hostAndPort()),
                           page(QStringLiteral("file-bytes-1001")), bad}
            << QByteArray() << bad << QStringLiteral("服务器回应 404");
    }

    void severalWithOneFailing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, bad);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const VexaRun result =
            run(arguments + QStringList{QStringLiteral("-o"), dir.path()}, dir.path(), input);
        QVERIFY2(result.exitCode == 5, qPrintable(result.err));
        QStringList lines = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, (QStringList{dir.filePath(savedName(1001)), dir.filePath(savedName(1002))}));
        QVERIFY2(result.err.contains(QStringLiteral("1 个下载失败（共 3 个）：\n  ") + bad),
                 qPrintable(result.err));
        QVERIFY2(result.err.contains(reason), qPrintable(result.err));
        QVERIFY(!result.err.contains(u'\r')); // not a terminal: no progress redrawn
    }

    // A sound the history has as saved, its file still there, is skipped
    // and counts as success; --force downloads it again.
    void skipsWhatIsSaved()
    {
        QTemporaryDir dir;
        const QString address = page(QStringLiteral("file-bytes-2001"));
        const QString saved = dir.filePath(savedName(2001));
        const QStringList arguments = {address, QStringLiteral("-o"), dir.path()};
        QCOMPARE(run(arguments, dir.path()).exitCode, 0);

        const VexaRun skipped = run(arguments, dir.path());
        QCOMPARE(skipped.exitCode, 0);
        QCOMPARE(QString::fromUtf8(skipped.out), saved + u'\n');
        QVERIFY2(
            skipped.err.contains(QStringLiteral("已下载过 “下载样本 bytes-2001”，跳过；文件在 ") + saved),
            qPrintable(skipped.err));

        const VexaRun forced = run(arguments + QStringList{QStringLiteral("--force")}, dir.path());
        QCOMPARE(forced.exitCode, 0);
        QCOMPARE(QString::fromUtf8(forced.out),
                 dir.filePath(QStringLiteral("样本服务 - 下载样本 bytes-2001 (1).mp3\n")));
    }

    // Ctrl-C exits as a shell tells, keeping every part file, and the rerun
    // continues each and says so for each.
    void rerunAfterCtrlCContinuesEach()
    {
        QTemporaryDir dir;
        QStringList arguments;
        QStringList parts;
        for (const QString &name : {QStringLiteral("s1"), QStringLiteral("s2")}) {
            // Only the first answer goes silent after 100000 bytes.
            const QString file = m_service.baseUrl() +
                                 QStringLiteral("/file/bytes-300000;stall=100000;drops=1;x=%1.mp3").arg(name);
            m_service.setSoundInfoBody(QStringLiteral("stalls-") + name,
                                       R"({"info":{"sound":{"name":")" + name.toUtf8() +
                                           R"(","pic_200":"","source":")" + file.toUtf8() +
                                           R"(","sound_count":1,"share_count":1,"create_time":0,"info":"",)"
                                           R"("user":{"follow_count":1,"name":"b"}}}})");
            arguments << page(QStringLiteral("stalls-") + name);
            parts << dir.filePath(QStringLiteral("b - %1.mp3.part").arg(name));
        }
        arguments << QStringLiteral("-o") << dir.path();
        QProcess *first = start(arguments, dir.path());
        const auto partsWritten = [&] {
            return QFileInfo(parts.at(0)).size() > 0 && QFileInfo(parts.at(1)).size() > 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(partsWritten(), 20000);
        ::kill(pid_t(first->processId()), SIGINT);
        const VexaRun stopped = finished(first);
        QVERIFY2(stopped.exitCode == 130, qPrintable(stopped.err));
        QVERIFY(partsWritten());

        const VexaRun rerun = run(arguments, dir.path());
        QVERIFY2(rerun.exitCode == 0, qPrintable(rerun.err));
        for (const QString &name : {QStringLiteral("s1"), QStringLiteral("s2")})
            QVERIFY2(rerun.err.contains(QStringLiteral("vexa-helper: “%1” 从 ").arg(name)),
                     qPrintable(rerun.err));
        QCOMPARE(rerun.err.count(QStringLiteral("处继续先前未完成的下载")), 2);
    }

    // Two runs at once share one history: nothing is lost, nothing damaged.
    void twoProcessesShareTheHistory()
    {
        QTemporaryDir dir;
        QList<QProcess *> processes;
        QStringList addresses[2];
        for (int p = 0; p < 2; ++p) {
            for (int k = 0; k < 4; ++k)
                addresses[p].append(page(QStringLiteral("file-bytes-%1").arg(300000 + 10 * p + k)));
            processes.append(start(addresses[p] + QStringList{QStringLiteral("-o"), dir.path(),
                                                              QStringLiteral("--jobs"), QStringLiteral("2")},
                                   dir.path()));
        }
        for (QProcess *process : processes) {
            QVERIFY(process->waitForFinished(60000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        const QString path = dir.filePath(QStringLiteral("vexa-helper/history.sqlite"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery query(QStringLiteral("PRAGMA integrity_check"), db);
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        DownloadHistory history(path);
        QVERIFY(history.isPersistent());
        QStringList done;
        for (const DownloadEntry &entry : history.page(0, 100)) {
            QCOMPARE(entry.state, DownloadState::Done);
            done.append(entry.pageAddress);
        }
        done.sort();
        QStringList all = addresses[0] + addresses[1];
        all.sort();
        QCOMPARE(done, all);
    }
    // The history's file in the states it may be found in, and what
    // `download`, `history` and the window each make of it: what they tell
    // (naming the file, in the program's words), whether the new download
    // is kept, and how the row kept before is listed.
    void historyFileStates_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("told");      // by download and the window
        QTest::addColumn<bool>("historyTells"); // history says it too
        QTest::addColumn<bool>("recorded");     // the new download is kept
        QTest::addColumn<QString>("listedAs");  // the earlier row's state in history
        QTest::newRow("lock is a folder") << "lock-folder"
                                          << "是一个文件夹" << true << true << "已完成";
        QTest::newRow("lock of another program") << "lock-garbage"
                                                 << "不是本程序的锁文件" << true << true << "已完成";
        QTest::newRow("from a newer program") << "newer"
                                              << "来自更新版本的程序" << false << false << "已完成";
        QTest::newRow("read-only file") << "file"
                                        << "文件是只读的" << false << false << "已完成";
        QTest::newRow("read-only folder") << "folder"
                                          << "不可写" << false << false << "已完成";
        QTest::newRow("left running by a killed run") << "orphan"
                                                      << "" << false << true << "已暂停";
    }

    void historyFileStates()
    {
        QFETCH(QString, state);
        QFETCH(QString, told);
        QFETCH(bool, historyTells);
        QFETCH(bool, recorded);
        QFETCH(QString, listedAs);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("vexa-helper"));
        const QString path = folder + QStringLiteral("/history.sqlite");
        {
            DownloadEntry before;
            before.name = QStringLiteral("早先的下载");
            before.state = state == u"orphan" ? DownloadState::Running : DownloadState::Done;
            QVERIFY(DownloadHistory(path).add(before));
        }
        if (state == u"orphan") // a pid no process can have
            QVERIFY(sql(path, QStringLiteral("UPDATE downloads SET owner_pid = 2147483647")));
        else if (state == u"newer")
            QVERIFY(sql(path, QStringLiteral("PRAGMA user_version = 99")));
        else if (state == u"lock-folder")
            QVERIFY(QDir().mkpath(path + QStringLiteral(".lock")));
        else if (state == u"lock-garbage")
            writeFile(path + QStringLiteral(".lock"), "not a lock\n");
        const QString readOnly = state == u"file" ? path : state == u"folder" ? folder : QString();
        if (!readOnly.isEmpty() && !setReadOnly(readOnly, true))
            QSKIP("no way to make a read-only file here");
        const auto writable = qScopeGuard([&] {
            if (!readOnly.isEmpty())
                setReadOnly(readOnly, false);
        });

        // Listed before a download runs, which would write the orphan paused.
        const VexaRun table = finished(start({}, dir.path(), {}, {QStringLiteral("history")}));
        QVERIFY2(table.exitCode == 0, qPrintable(table.err));
        QCOMPARE(!told.isEmpty() && table.err.contains(told), historyTells);
        const QString earlier = QString::fromUtf8(table.out).section(u'\n', -2, -2);
        QVERIFY2(earlier.contains(QStringLiteral("早先的下载")) && earlier.startsWith(listedAs),
                 table.out.constData());

        const VexaRun download =
            run({page(QStringLiteral("file-bytes-4001")), QStringLiteral("-o"), dir.path()}, dir.path());
        QVERIFY2(download.exitCode == 0, qPrintable(download.err));
        QVERIFY(QFileInfo::exists(dir.filePath(savedName(4001))));
        QVERIFY2(download.err.contains(told) && !download.err.contains(QLatin1String("vexa.history")),
                 qPrintable(download.err));
        QVERIFY2(told.isEmpty() || download.err.contains(path), qPrintable(download.err));
        const VexaRun json =
            finished(start({QStringLiteral("--json")}, dir.path(), {}, {QStringLiteral("history")}));
        QVERIFY2(json.exitCode == 0, qPrintable(json.err));
        QCOMPARE(QJsonDocument::fromJson(json.out).array().size(), recorded ? 2 : 1);

        const DownloadHistory window(path);
        QCOMPARE(window.isPersistent(), recorded);
        QVERIFY2(told.isEmpty() ? window.problem().isEmpty() : window.problem().contains(told),
                 qPrintable(window.problem()));
    }

    // Another program holding the history in a long write: the download
    // says so and waits, and its row is written once the file is free.
    void busyHistoryIsWaitedFor()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vexa-helper/history.sqlite"));
        QVERIFY(DownloadHistory(path).isPersistent());
        QProcess *process = nullptr;
        QString err;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery hold(db);
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            process = start({page(QStringLiteral("file-bytes-4101")), QStringLiteral("-o"), dir.path()},
                            dir.path());
            QTRY_VERIFY_WITH_TIMEOUT(
                (err += QString::fromUtf8(process->readAllStandardError()),
                 err.contains(QStringLiteral("占用")) || process->state() == QProcess::NotRunning),
                60000);
            QVERIFY2(err.contains(QStringLiteral("下载历史 %1 正被另一个程序占用").arg(path)),
                     qPrintable(err));
            QVERIFY(hold.exec(QStringLiteral("COMMIT")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        const VexaRun result = finished(process);
        QVERIFY2(result.exitCode == 0, qPrintable(err + result.err));
        const QList<DownloadEntry> rows = DownloadHistory(path).page(0, 10);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().state, DownloadState::Done);
    }

    // Batches started at once with the same sounds: each sound is fetched
    // by one of them and skipped by the others, never fetched twice. The
    // files are held back until every run has looked.
    void batchesAtOnceFetchEachSoundOnce()
    {
        QTemporaryDir dir;
        QStringList addresses;
        QList<QByteArray> files;
        for (int size : {4201, 4202, 4203}) {
            addresses.append(page(QStringLiteral("file-bytes-%1").arg(size)));
            files.append(QByteArrayLiteral("/file/bytes-") + QByteArray::number(size) + ".mp3");
            m_service.closeGate(files.last());
        }
        const auto openGates = [&] {
            for (const QByteArray &file : std::as_const(files))
                m_service.openGate(file);
        };
        auto opened = qScopeGuard(openGates);
        QList<QProcess *> runs;
        for (int n = 0; n < 4; ++n)
            runs.append(start(addresses + QStringList{QStringLiteral("-o"), dir.path()}, dir.path()));
        QString err;
        const auto looked = [&] {
            for (QProcess *run : std::as_const(runs))
                err += QString::fromUtf8(run->readAllStandardError());
            int held = 0;
            for (const QByteArray &file : std::as_const(files))
                held += m_service.heldAtGate(file);
            return err.count(QStringLiteral("正由另一个下载保存到")) == 9 || held > 3;
        };
        QTRY_VERIFY_WITH_TIMEOUT(looked(), 60000);
        openGates();
        opened.dismiss();
        for (QProcess *process : std::as_const(runs)) {
            const VexaRun result = finished(process);
            QVERIFY2(result.exitCode == 0, qPrintable(err + result.err));
        }
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.mp3")}).size(), 3);
        QCOMPARE(DownloadHistory(dir.filePath(QStringLiteral("vexa-helper/history.sqlite"))).count(), 3);
    }
};

QTEST_GUILESS_MAIN(BatchDownloadTest)
#include "batch_download_test.moc"
