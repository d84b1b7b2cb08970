// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_resume.h"
#include "library/download_history.h"
#include "support/folder_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A statement on a connection of the test's own, beside the history's.
QVariant sqlValue(const QString &path, const QString &statement)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(statement) && q.next())
                value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
    return value;
}

DownloadEntry entryOf(const QString &soundId, DownloadState state = DownloadState::Queued)
{
    DownloadEntry e;
    e.soundId = soundId;
    e.state = state;
    return e;
}

std::unique_ptr<QProcess> startWriter(const QStringList &arguments)
{
    auto writer = std::make_unique<QProcess>();
    writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer->start(QStringLiteral(VEXA_HISTORY_WRITER_EXE), arguments);
    return writer;
}

bool finishedWell(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        QSignalSpy finished(&process, &QProcess::finished);
        if (!finished.wait(60000))
            return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

class DownloadHistoryTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_unique = 0;

    QString freshPath() { return m_dir.filePath(QStringLiteral("h%1/history.sqlite").arg(++m_unique)); }

private slots:
    // Every field comes back as stored, after add and after update.
    void roundTrip()
    {
        DownloadEntry e;
        e.soundId = QStringLiteral("1001");
        e.pageAddress = QStringLiteral("http://example.org/sound/1001");
        e.name = QStringLiteral("夜曲");
        e.singer = QStringLiteral("歌手");
        e.fileUrl = QStringLiteral("http://example.org/file/1001.mp3");
        e.folder = QStringLiteral("/tmp/音乐");
        e.fileName = QStringLiteral("歌手 - 夜曲.mp3");
        e.savedPath = QStringLiteral("/tmp/音乐/歌手 - 夜曲 (1).mp3");
        e.partPath = QStringLiteral("/tmp/音乐/歌手 - 夜曲.mp3.part");
        e.size = 5'000'000'000;
        e.bytesDone = 4'000'000'000;
        e.state = DownloadState::Failed;
        e.error = QStringLiteral("网络连接中断");
        e.created = QDateTime::fromMSecsSinceEpoch(1'700'000'000'123);
        e.started = e.created.addSecs(1);
        e.ended = e.created.addSecs(60);
        e.tags.emplace().comment = QStringLiteral("一\n二");
        e.tags->id3Version = 3;
        e.coverUrl = QStringLiteral("http://example.org/cover/1001.png");
        DownloadHistory history(freshPath());
        QVERIFY(history.isPersistent());
        e.id = history.add(e).value();
        QVERIFY(e.id > 0);
        QCOMPARE(history.entry(e.id), e);
        e.state = DownloadState::Paused;
        e.tags.reset();
        e.started = e.ended = QDateTime();
        history.update(e);
        QCOMPARE(history.entry(e.id), e);
        QVERIFY(history.flush());
        QCOMPARE(history.entry(e.id), e);
        QCOMPARE(history.entry(e.id + 1), std::nullopt);
        // An entry of nothing but defaults (no sound id yet) is kept too.
        QVERIFY(history.add(DownloadEntry{}).value() > 0);
    }

    void pageAndRows_data()
    {
        QTest::addColumn<int>("written");
        QTest::newRow("all written") << 5;
        QTest::newRow("none written yet") << 0;
        QTest::newRow("the newest not written yet") << 3;
    }

    // Writes not yet in the file read in their place all the same.
    void pageAndRows()
    {
        QFETCH(int, written);
        DownloadHistory history(freshPath());
        QList<qint64> ids;
        for (int n = 0; n < 5; ++n) {
            if (n == written)
                QVERIFY(history.flush());
            ids.append(history.add(entryOf(QString::number(n))).value());
        }
        if (written == 5)
            QVERIFY(history.flush());
        auto idsOf = [](const QList<DownloadEntry> &entries) {
            QList<qint64> result;
            for (const DownloadEntry &e : entries)
                result.append(e.id);
            return result;
        };
        QCOMPARE(idsOf(history.page(1, 2)), (QList<qint64>{ids[3], ids[2]}));
        QCOMPARE(idsOf(history.page(4, 10)), QList<qint64>{ids[0]});
        QCOMPARE(history.rowOf(ids[4]), 0);
        QCOMPARE(history.rowOf(ids[0]), 4);
        history.remove(ids[3]);
        QCOMPARE(history.count(), 4);
        QCOMPARE(idsOf(history.page(2, 2)), (QList<qint64>{ids[1], ids[0]}));
        QCOMPARE(history.rowOf(ids[0]), 3);
        QCOMPARE(history.rowOf(ids[3]), -1);
    }

    // The newest done download whose file is still there; another sound's,
    // or one not done, never.
    void doneWithFile()
    {
        DownloadHistory history(freshPath());
        const QStringList files = {QStringLiteral("older"), QStringLiteral("newer"), QStringLiteral("failed"),
                                   QStringLiteral("other")};
        for (const QString &file : files) {
            DownloadEntry e = entryOf(file == u"other" ? QStringLiteral("8") : QStringLiteral("7"),
                                      file == u"failed" ? DownloadState::Failed : DownloadState::Done);
            e.savedPath = m_dir.filePath(file);
            writeFile(e.savedPath, "x");
            history.add(e);
        }
        for (const QString &file : {QStringLiteral("newer"), QStringLiteral("older")}) {
            QCOMPARE(history.doneWithFile(QStringLiteral("7"))->savedPath, m_dir.filePath(file));
            QVERIFY(QFile::remove(m_dir.filePath(file)));
        }
        QCOMPARE(history.doneWithFile(QStringLiteral("7")), std::nullopt);
    }

    void badFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("movedAside");
        QTest::newRow("not a database") << "garbage" << true;
        QTest::newRow("a database with broken pages") << "broken" << true;
        QTest::newRow("a folder where the file goes") << "folder" << false;
        QTest::newRow("written by a newer program") << "newer" << false;
    }

    // A damaged file is moved aside with its bytes, never deleted, and a new
    // history made; one this program cannot use is left as it is, and the
    // history lives in memory. Either way it works and says so.
    void badFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, movedAside);
        const QString path = freshPath();
        QVERIFY(QDir().mkpath(kind == u"folder" ? path : QFileInfo(path).path()));
        if (kind == u"garbage") {
            writeFile(path, QByteArray("this is no database\n").repeated(500));
        } else if (kind == u"broken") {
            {
                DownloadHistory history(path);
                for (int n = 0; n < 300; ++n)
                    history.add(entryOf(QStringLiteral("sound %1").arg(n).repeated(10)));
            }
            writeFile(path, contents(path).replace(4096, 8192, QByteArray(8192, '\xff')));
        } else if (kind == u"newer") {
            sqlValue(path, QStringLiteral("CREATE TABLE future (x)"));
            sqlValue(path, QStringLiteral("PRAGMA user_version = 99"));
        }
        const QByteArray before = contents(path);
        DownloadHistory history(path);
        QCOMPARE(history.isPersistent(), movedAside);
        QCOMPARE(history.movedAside().isEmpty(), !movedAside);
        QVERIFY(!history.problem().isEmpty());
        const qint64 id = history.add(entryOf(QStringLiteral("new"))).value();
        QCOMPARE(history.entry(id)->soundId, QStringLiteral("new"));
        QVERIFY(history.flush());
        if (movedAside) {
            QCOMPARE(contents(history.movedAside()), before);
            QVERIFY2(history.problem().contains(history.movedAside()), qPrintable(history.problem()));
            QCOMPARE(DownloadHistory(path).entry(id)->soundId, QStringLiteral("new"));
        } else {
            QCOMPARE(contents(path), before);
            QCOMPARE(QFileInfo(path).isDir(), kind == u"folder");
        }
    }

    // Entries of a process that is gone become paused, bytes from the part
    // file when there is one; this process's own are left running.
    void pauseOrphans()
    {
        const QString path = freshPath();
        const QString part = m_dir.filePath(QStringLiteral("orphan.mp3.part"));
        writeFile(part, QByteArray(1000, 'a'));
        writeFile(part + QStringLiteral(".meta"),
                  partInfoText({QStringLiteral("http://x/a.mp3"), "\"v\"", 5000, 100}));
        for (const QString &partPath : {part, m_dir.filePath(QStringLiteral("gone.part"))}) {
            auto writer = startWriter({path, QStringLiteral("orphan"), partPath, QStringLiteral("333")});
            QVERIFY(finishedWell(*writer));
        }
        DownloadHistory history(path);
        const qint64 mine = history.add(entryOf(QStringLiteral("mine"), DownloadState::Running)).value();
        // The same pid, but a process that started at another time: not this one.
        const qint64 reused = history.add(entryOf(QStringLiteral("reused"), DownloadState::Queued)).value();
        QVERIFY(history.flush());
        sqlValue(path, QStringLiteral("UPDATE downloads SET owner_start = 1 WHERE id = %1").arg(reused));
        history.pauseOrphans();
        QVERIFY(history.flush());
        QCOMPARE(sqlValue(path, QStringLiteral("SELECT COUNT(*) FROM downloads WHERE state = 'paused'")), 3);
        const QList<DownloadEntry> paused = history.paused();
        QCOMPARE(paused.size(), 3);
        QCOMPARE(paused[0].bytesDone, 900);
        QCOMPARE(paused[1].bytesDone, 333);
        QCOMPARE(paused[2].id, reused);
        QCOMPARE(history.entry(mine)->state, DownloadState::Running);
    }

    // Two more programs write while this one does: nothing is lost to a
    // busy database, nothing is damaged.
    void severalProcesses()
    {
        const QString path = freshPath();
        const int count = 300;
        DownloadHistory history(path);
        std::vector<std::unique_ptr<QProcess>> writers;
        for (const char *tag : {"a", "b"}) {
            writers.push_back(
                startWriter({path, QStringLiteral("write"), QString::number(count), QLatin1String(tag)}));
            QVERIFY(writers.back()->waitForStarted());
        }
        for (int n = 0; n < count; ++n) {
            DownloadEntry e = entryOf(QStringLiteral("c-%1").arg(n));
            e.id = history.add(e).value();
            e.state = DownloadState::Done;
            QVERIFY(e.id > 0);
            history.update(e);
        }
        for (auto &writer : writers)
            QVERIFY(finishedWell(*writer));
        QCOMPARE(history.count(), 3 * count);
        for (const DownloadEntry &e : history.page(0, 3 * count))
            QCOMPARE(e.state, DownloadState::Done);
        QVERIFY(history.flush());
        QCOMPARE(sqlValue(path, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    // While another program holds the write lock, writes return at once
    // and read back as written; they reach the file once it is let go.
    void writeWhileHeld()
    {
        const QString path = freshPath();
        DownloadHistory history(path);
        QStringList notices;
        history.setNotice([&](const QString &text) { notices.append(text); });
        QVERIFY(history.isPersistent()); // made before another program holds it
        {
            QSqlDatabase holder =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            holder.setDatabaseName(path);
            QVERIFY(holder.open());
            QVERIFY(QSqlQuery(holder).exec(QStringLiteral("BEGIN IMMEDIATE")));
            QElapsedTimer clock;
            clock.start();
            DownloadEntry e = entryOf(QStringLiteral("held"));
            e.id = history.add(e).value();
            e.state = DownloadState::Done;
            history.update(e);
            QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(history.entry(e.id), e);
            QCOMPARE(history.page(0, 5), QList<DownloadEntry>{e});
            QVERIFY(!history.flush(std::chrono::milliseconds(500)));
            QTRY_COMPARE(notices.size(), 1);
            QVERIFY(QSqlQuery(holder).exec(QStringLiteral("COMMIT")));
            QVERIFY(history.flush());
            QTRY_COMPARE(notices.size(), 2); // and again once they went through
            QSqlQuery q(holder);
            QVERIFY(q.exec(QStringLiteral("SELECT state FROM downloads WHERE id = %1").arg(e.id)) &&
                    q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("done"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    }

    // Ids chosen by programs adding at once differ, and grow with time in
    // each of them and after them.
    void idsOfSeveralPrograms()
    {
        const QString path = freshPath();
        DownloadHistory history(path);
        const int count = 200;
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int n = 0; n < 2; ++n)
            writers.push_back(startWriter({path, QStringLiteral("ids"), QString::number(count)}));
        QSet<qint64> all;
        qint64 newest = 0;
        for (auto &writer : writers) {
            QVERIFY(finishedWell(*writer));
            const QList<QByteArray> lines = writer->readAllStandardOutput().split('\n');
            qint64 last = 0;
            for (const QByteArray &line : lines.mid(0, count)) {
                QVERIFY2(line.toLongLong() > last, line.constData());
                last = line.toLongLong();
                all.insert(last);
            }
            newest = std::max(newest, last);
        }
        QCOMPARE(all.size(), 2 * count);
        QCOMPARE(history.count(), 2 * count);
        // A program's clock runs ahead by a millisecond for each id it took faster.
        QTest::qWait(count);
        QVERIFY(history.add(DownloadEntry{}).value() > newest);
    }
};

QTEST_GUILESS_MAIN(DownloadHistoryTest)
#include "download_history_test.moc"
