// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history.h"
#include "net/network_access.h"
#include "queue/download_queue.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "support/folder_files.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

// A body that goes silent after its first megabyte the first time it is
// asked for, and comes whole after that.
constexpr qint64 StalledSize = 3'000'000;
constexpr qint64 StallsAt = 1'000'000;

} // namespace

class DownloadQueueTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;
    int m_unique = 0;

    // A /file/bytes-SIZE.mp3 address of its own, so answer counts start afresh.
    QString fileUrl(qint64 size, const QString &options = {})
    {
        return m_service.baseUrl() + QStringLiteral("/file/bytes-%1.mp3?u=%2%3")
                                         .arg(size)
                                         .arg(++m_unique)
                                         .arg(options.isEmpty() ? QString() : u'&' + options);
    }
    QString stalledUrl() { return fileUrl(StalledSize, QStringLiteral("stall=%1&drops=1").arg(StallsAt)); }

    // Into a folder of its own per test.
    DownloadEntry entryFor(const QString &url)
    {
        DownloadEntry e;
        e.soundId = QString::number(m_unique);
        e.fileUrl = url;
        e.folder = m_dir.filePath(QString::fromUtf8(QTest::currentTestFunction()));
        e.fileName = QStringLiteral("歌 %1.mp3").arg(m_unique);
        return e;
    }

    std::unique_ptr<DownloadHistory> history()
    {
        return std::make_unique<DownloadHistory>(
            m_dir.filePath(QStringLiteral("h%1/history.sqlite").arg(++m_unique)));
    }

    // The Range headers asked of url, in order ("" for none).
    QList<QByteArray> rangesAsked(const QString &url) const
    {
        const QByteArray target = url.mid(m_service.baseUrl().size()).toUtf8();
        QList<QByteArray> ranges;
        for (const RecordedRequest &r : m_service.requests()) {
            if (r.target == target && (ranges.isEmpty() || ranges.constLast() != r.header("Range")))
                ranges.append(r.header("Range"));
        }
        return ranges;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start());
        QVERIFY(m_dir.isValid());
    }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    // Never more at once than allowed, started in the order they came; a
    // higher limit starts more at once.
    void turns()
    {
        const auto h = history();
        DownloadQueue queue(*h, 2);
        QList<qint64> started;
        bool tooMany = false;
        connect(&queue, &DownloadQueue::changed, this, [&](qint64 id) {
            tooMany = tooMany || queue.runningCount() > queue.maxRunning();
            if (queue.entry(id)->state == DownloadState::Running && !started.contains(id))
                started.append(id);
        });
        const QByteArray gate = "/file/bytes-4000.mp3";
        m_service.closeGate(gate);
        QList<qint64> ids;
        for (int n = 0; n < 5; ++n)
            ids.append(queue.enqueue(entryFor(fileUrl(4000))).value());
        QTRY_COMPARE(m_service.heldAtGate(gate), 2);
        QCOMPARE(queue.waitingCount(), 3);
        QCOMPARE(started, ids.mid(0, 2));
        queue.setMaxRunning(3);
        QTRY_COMPARE(m_service.heldAtGate(gate), 3);
        QSignalSpy idle(&queue, &DownloadQueue::idle);
        m_service.openGate(gate);
        QVERIFY(idle.wait(30000));
        QCOMPARE(started, ids);
        QVERIFY(!tooMany);
        for (qint64 id : ids) {
            const DownloadEntry e = *h->entry(id);
            QCOMPARE(e.state, DownloadState::Done);
            QCOMPARE(contents(e.savedPath), sampleFileBody(4000));
        }
    }

    // Paused with its bytes written, continued with a range request to the
    // same bytes as served.
    void pauseAndResume()
    {
        const auto h = history();
        DownloadQueue queue(*h, 3);
        const QString url = stalledUrl();
        const qint64 id = queue.enqueue(entryFor(url)).value();
        QTRY_COMPARE(h->entry(id)->bytesDone, StallsAt); // written while it runs
        queue.pause(id);
        const DownloadEntry paused = *h->entry(id);
        QCOMPARE(paused.state, DownloadState::Paused);
        QCOMPARE(paused.bytesDone, StallsAt);
        QCOMPARE(QFileInfo(paused.partPath).size(), StallsAt);
        QCOMPARE(queue.runningCount(), 0);

        QSignalSpy ended(&queue, &DownloadQueue::ended);
        queue.resume(id);
        QVERIFY(ended.wait(30000));
        const DownloadEntry done = *h->entry(id);
        QCOMPARE(done.state, DownloadState::Done);
        QCOMPARE(done.bytesDone, StalledSize);
        QVERIFY(contents(done.savedPath) == sampleFileBody(StalledSize));
        QCOMPARE(rangesAsked(url), (QList<QByteArray>{"", "bytes=1000000-"}));
        QCOMPARE(entries(done.folder), QStringList{QFileInfo(done.savedPath).fileName()});
    }

    void cancel_data()
    {
        QTest::addColumn<bool>("pausedFirst");
        QTest::addColumn<bool>("remove");
        QTest::newRow("running") << false << false;
        QTest::newRow("paused") << true << false;
        QTest::newRow("removed with its file while running") << false << true;
        QTest::newRow("removed with its file while paused") << true << true;
    }

    // Cancelled or removed, its part file and the info beside it gone.
    void cancel()
    {
        QFETCH(bool, pausedFirst);
        QFETCH(bool, remove);
        const auto h = history();
        DownloadQueue queue(*h, 3);
        const DownloadEntry wanted = entryFor(stalledUrl());
        const qint64 id = queue.enqueue(wanted).value();
        QTRY_COMPARE(queue.entry(id)->bytesDone, StallsAt);
        // The info is written behind the bytes it speaks for.
        QTRY_COMPARE(entries(wanted.folder).size(), 2); // part and info
        if (pausedFirst)
            queue.pause(id);
        if (remove)
            queue.remove(id, true);
        else
            queue.cancel(id);
        QCOMPARE(h->entry(id).has_value(), !remove);
        if (!remove)
            QCOMPARE(h->entry(id)->state, DownloadState::Cancelled);
        QCOMPARE(entries(wanted.folder), QStringList());
        QVERIFY(queue.isIdle());
    }

    // A failure has its own row with the short reason.
    void failed()
    {
        const auto h = history();
        DownloadQueue queue(*h, 3);
        QSignalSpy ended(&queue, &DownloadQueue::ended);
        const qint64 id =
            queue.enqueue(entryFor(m_service.baseUrl() + QStringLiteral("/file/status-404.mp3"))).value();
        QVERIFY(ended.wait(30000));
        const DownloadEntry e = *h->entry(id);
        QCOMPARE(e.state, DownloadState::Failed);
        QCOMPARE(e, ended.first().at(0).value<DownloadEntry>());
        QCOMPARE(e.error, downloadFailureText(ended.first().at(1).value<DownloadResult>().error()));
        QVERIFY2(e.error.contains(u"404"), qPrintable(e.error));
        QVERIFY(e.ended.isValid());
    }

    // Ending the queue leaves what ran and what waited paused with their
    // bytes; the next queue continues them to whole files.
    void endedWhileRunning()
    {
        const auto h = history();
        auto queue = std::make_unique<DownloadQueue>(*h, 2);
        QList<qint64> ids;
        for (int n = 0; n < 2; ++n)
            ids.append(queue->enqueue(entryFor(stalledUrl())).value());
        ids.append(queue->enqueue(entryFor(fileUrl(StalledSize))).value()); // waits its turn
        QTRY_COMPARE(queue->entry(ids[0])->bytesDone, StallsAt);
        QTRY_COMPARE(queue->entry(ids[1])->bytesDone, StallsAt);
        queue.reset();
        const QList<DownloadEntry> paused = h->paused();
        QCOMPARE(paused.size(), 3);
        QCOMPARE(paused[0].bytesDone, StallsAt);
        QCOMPARE(QFileInfo(paused[1].partPath).size(), StallsAt);
        QCOMPARE(paused[2].bytesDone, 0);
        h->pauseOrphans(); // nothing of this process's to take
        QVERIFY(h->flush());
        QCOMPARE(h->paused(), paused);

        DownloadQueue next(*h, 3);
        QSignalSpy idle(&next, &DownloadQueue::idle);
        next.resumeAll();
        QVERIFY(idle.wait(30000));
        for (qint64 id : ids)
            QVERIFY(contents(h->entry(id)->savedPath) == sampleFileBody(StalledSize));
    }

    // Ended while a whole body waits for its cover to be tagged: the file is
    // saved first and its row says where, so nothing is fetched again.
    void endedWhileTagging()
    {
        const auto h = history();
        auto queue = std::make_unique<DownloadQueue>(*h, 1);
        DownloadEntry wanted = entryFor(fileUrl(4000));
        wanted.tags = SoundTags{};
        wanted.coverUrl = m_service.baseUrl() + QStringLiteral("/fault/stall"); // never comes
        const qint64 id = queue->enqueue(wanted).value();
        QTRY_COMPARE(queue->entry(id)->bytesDone, 4000);
        QTest::qWait(300); // the answer's end, after its last bytes
        QCOMPARE(queue->runningCount(), 1);
        queue.reset();
        const DownloadEntry e = *h->entry(id);
        QCOMPARE(e.state, DownloadState::Done);
        QCOMPARE(contents(e.savedPath), sampleFileBody(4000));
        QCOMPARE(entries(wanted.folder), QStringList{QFileInfo(e.savedPath).fileName()});
    }

    // Another program takes a paused row on while this one's resume waits to
    // be written: the download stops, and the row stays as that program wrote it.
    void lostToAnotherProgram()
    {
        const QString path = m_dir.filePath(QStringLiteral("h%1/history.sqlite").arg(++m_unique));
        DownloadHistory h(path);
        DownloadEntry paused = entryFor(fileUrl(4000));
        paused.state = DownloadState::Paused;
        paused.id = h.add(paused).value();
        QVERIFY(h.flush());
        DownloadQueue queue(h, 1);
        QSignalSpy ended(&queue, &DownloadQueue::ended);
        const QByteArray gate = "/file/bytes-4000.mp3";
        m_service.closeGate(gate);
        {
            QSqlDatabase other =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE")));
            QVERIFY(queue.resume(paused.id));
            QTRY_COMPARE(m_service.heldAtGate(gate), 1);
            // pid 1 is always there: the row reads as that program's, running.
            QVERIFY(QSqlQuery(other).exec(
                QStringLiteral("UPDATE downloads SET state = 'queued', owner_pid = 1 WHERE id = %1")
                    .arg(paused.id)));
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("COMMIT")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QVERIFY(ended.wait(10000));
        m_service.openGate(gate);
        QVERIFY(queue.isIdle());
        QVERIFY(h.flush());
        QCOMPARE(h.entry(paused.id)->state, DownloadState::Queued);
        QCOMPARE(ended.first().at(0).value<DownloadEntry>().state, DownloadState::Queued);
    }

    // Progress is written and told a few times a second, not per chunk.
    void progressBatched()
    {
        const auto h = history();
        DownloadQueue queue(*h, 3);
        constexpr qint64 size = 20 * 1024 * 1024;
        QSignalSpy changed(&queue, &DownloadQueue::changed);
        QSignalSpy ended(&queue, &DownloadQueue::ended);
        QElapsedTimer clock;
        clock.start();
        const qint64 id = queue.enqueue(entryFor(fileUrl(size))).value();
        QVERIFY(ended.wait(60000));
        QCOMPARE(h->entry(id)->bytesDone, size);
        // Started and ended, and one per half second at most in between.
        QVERIFY2(changed.count() <= 3 + clock.elapsed() / 500, qPrintable(QString::number(changed.count())));
    }
};

QTEST_GUILESS_MAIN(DownloadQueueTest)
#include "download_queue_test.moc"
