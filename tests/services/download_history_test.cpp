// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "services/download_history.h"
#include "services/download_resume.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

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
    void roundTrip_data()
    {
        QTest::addColumn<DownloadEntry>("entry");
        DownloadEntry full;
        full.soundId = QStringLiteral("1001");
        full.pageAddress = QStringLiteral("http://example.org/sound/1001");
        full.name = QStringLiteral("夜曲");
        full.singer = QStringLiteral("歌手");
        full.fileUrl = QStringLiteral("http://example.org/file/1001.mp3");
        full.folder = QStringLiteral("/tmp/音乐");
        full.fileName = QStringLiteral("歌手 - 夜曲.mp3");
        full.savedPath = QStringLiteral("/tmp/音乐/歌手 - 夜曲 (1).mp3");
        full.partPath = QStringLiteral("/tmp/音乐/歌手 - 夜曲.mp3.part");
        full.size = 5'000'000'000;
        full.bytesDone = 4'000'000'000;
        full.state = DownloadState::Failed;
        full.error = QStringLiteral("网络连接中断");
        full.created = QDateTime::fromMSecsSinceEpoch(1'700'000'000'123);
        full.started = full.created.addSecs(1);
        full.ended = full.created.addSecs(60);
        full.tags = SoundTags{QStringLiteral("夜曲"),
                              QStringLiteral("歌手"),
                              QStringLiteral("一\n二"),
                              QStringLiteral("2026-01-02"),
                              full.pageAddress,
                              {},
                              3};
        full.coverUrl = QStringLiteral("http://example.org/cover/1001.png");
        QTest::newRow("every field") << full;
        QTest::newRow("bare, untagged, never ran") << entryOf(QStringLiteral("1002"));
    }

    // What is stored comes back the same, after add and after update.
    void roundTrip()
    {
        QFETCH(DownloadEntry, entry);
        DownloadHistory history(freshPath());
        QVERIFY(history.isPersistent());
        entry.id = history.add(entry);
        QVERIFY(entry.id > 0);
        QCOMPARE(history.entry(entry.id), entry);
        entry.state = DownloadState::Done;
        entry.bytesDone = 7;
        entry.tags.reset();
        QVERIFY(history.update(entry));
        QCOMPARE(history.entry(entry.id), entry);
        QCOMPARE(history.entry(entry.id + 1), std::nullopt);
    }

    void pageAndRows()
    {
        DownloadHistory history(freshPath());
        QList<qint64> ids;
        for (int n = 0; n < 5; ++n)
            ids.append(history.add(entryOf(QString::number(n))));
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
        QVERIFY(history.remove(ids[3]));
        QCOMPARE(history.count(), 4);
        QCOMPARE(history.rowOf(ids[0]), 3);
        QCOMPARE(history.rowOf(ids[3]), -1);
    }

    // The newest done download whose file is still there; another sound's,
    // or one not done, never.
    void doneWithFile()
    {
        DownloadHistory history(freshPath());
        auto done = [&](const QString &soundId, const QString &file, DownloadState state) {
            DownloadEntry e = entryOf(soundId, state);
            e.savedPath = m_dir.filePath(file);
            QVERIFY(write(e.savedPath, "x"));
            history.add(e);
        };
        done(QStringLiteral("7"), QStringLiteral("older.mp3"), DownloadState::Done);
        done(QStringLiteral("7"), QStringLiteral("newer.mp3"), DownloadState::Done);
        done(QStringLiteral("7"), QStringLiteral("failed.mp3"), DownloadState::Failed);
        done(QStringLiteral("8"), QStringLiteral("other.mp3"), DownloadState::Done);
        QCOMPARE(history.doneWithFile(QStringLiteral("7"))->savedPath,
                 m_dir.filePath(QStringLiteral("newer.mp3")));
        QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("newer.mp3"))));
        QCOMPARE(history.doneWithFile(QStringLiteral("7"))->savedPath,
                 m_dir.filePath(QStringLiteral("older.mp3")));
        QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("older.mp3"))));
        QCOMPARE(history.doneWithFile(QStringLiteral("7")), std::nullopt);
    }

    void damagedMovedAside_data()
    {
        QTest::addColumn<bool>("garbage");
        QTest::newRow("not a database") << true;
        QTest::newRow("a database with broken pages") << false;
    }

    // Moved aside with its bytes, never deleted; a new history takes its place.
    void damagedMovedAside()
    {
        QFETCH(bool, garbage);
        const QString path = freshPath();
        QByteArray bytes = QByteArray("this is no database\n").repeated(500);
        if (garbage) {
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        } else {
            {
                DownloadHistory history(path);
                for (int n = 0; n < 300; ++n)
                    history.add(entryOf(QStringLiteral("sound %1").arg(n).repeated(10)));
            }
            bytes = contents(path);
            QVERIFY(bytes.size() > 16384);
            bytes.replace(4096, 8192, QByteArray(8192, '\xff'));
        }
        QVERIFY(write(path, bytes));
        DownloadHistory history(path);
        QVERIFY(history.isPersistent());
        QVERIFY(!history.movedAside().isEmpty());
        QCOMPARE(contents(history.movedAside()), bytes);
        QVERIFY2(history.problem().contains(history.movedAside()), qPrintable(history.problem()));
        const qint64 id = history.add(entryOf(QStringLiteral("new")));
        QCOMPARE(DownloadHistory(path).entry(id)->soundId, QStringLiteral("new"));
    }

    void unusableInMemory_data()
    {
        QTest::addColumn<bool>("newer");
        QTest::newRow("a folder where the file goes") << false;
        QTest::newRow("written by a newer program") << true;
    }

    // Left as it is; this run's history lives in memory and still works.
    void unusableInMemory()
    {
        QFETCH(bool, newer);
        const QString path = freshPath();
        QVERIFY(QDir().mkpath(newer ? QFileInfo(path).path() : path));
        if (newer) {
            sqlValue(path, QStringLiteral("CREATE TABLE future (x)"));
            sqlValue(path, QStringLiteral("PRAGMA user_version = 99"));
        }
        const QByteArray before = newer ? contents(path) : QByteArray();
        DownloadHistory history(path);
        QVERIFY(!history.isPersistent());
        QVERIFY(!history.problem().isEmpty());
        QVERIFY(history.movedAside().isEmpty());
        const qint64 id = history.add(entryOf(QStringLiteral("1")));
        QCOMPARE(history.entry(id)->soundId, QStringLiteral("1"));
        if (newer) {
            QCOMPARE(contents(path), before);
            QCOMPARE(sqlValue(path, QStringLiteral("PRAGMA user_version")).toInt(), 99);
        } else {
            QVERIFY(QFileInfo(path).isDir());
        }
    }

    // Entries of a process that is gone become paused, bytes from the part
    // file when there is one; this process's own are left running.
    void pauseOrphans()
    {
        const QString path = freshPath();
        const QString part = m_dir.filePath(QStringLiteral("orphan.mp3.part"));
        QVERIFY(write(part, QByteArray(1000, 'a')));
        QVERIFY(write(part + QStringLiteral(".meta"),
                      partInfoText({QStringLiteral("http://x/a.mp3"), "\"v\"", 5000, 100})));
        for (const QString &partPath : {part, m_dir.filePath(QStringLiteral("gone.part"))}) {
            auto writer = startWriter({path, QStringLiteral("orphan"), partPath, QStringLiteral("333")});
            QVERIFY(finishedWell(*writer));
        }
        DownloadHistory history(path);
        const qint64 mine = history.add(entryOf(QStringLiteral("mine"), DownloadState::Running));
        QCOMPARE(history.pauseOrphans(), 2);
        const QList<DownloadEntry> paused = history.paused();
        QCOMPARE(paused.size(), 2);
        QCOMPARE(paused[0].bytesDone, 900);
        QCOMPARE(paused[1].bytesDone, 333);
        QCOMPARE(history.entry(mine)->state, DownloadState::Running);
        QCOMPARE(history.pauseOrphans(), 0);
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
            e.id = history.add(e);
            e.state = DownloadState::Done;
            QVERIFY(e.id > 0);
            QVERIFY(history.update(e));
        }
        for (auto &writer : writers)
            QVERIFY(finishedWell(*writer));
        QCOMPARE(history.count(), 3 * count);
        for (const DownloadEntry &e : history.page(0, 3 * count))
            QCOMPARE(e.state, DownloadState::Done);
        QCOMPARE(sqlValue(path, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }
};

QTEST_GUILESS_MAIN(DownloadHistoryTest)
#include "download_history_test.moc"
