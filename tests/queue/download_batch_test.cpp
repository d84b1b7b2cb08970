// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history.h"
#include "queue/download_batch.h"
#include "queue/download_queue.h"
#include "sample_service/sample_service.h"
#include "sound/sound_link.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class DownloadBatchTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;

    QString page(const QString &id) const { return soundPagePrefix(m_service.hostAndPort()) + id; }
    ServiceConfig config() const { return ServiceConfig::allAt(m_service.hostAndPort()); }
    DownloadSettings settings() const
    {
        DownloadSettings wanted = DownloadSettings::defaults();
        wanted.folder = m_dir.filePath(QStringLiteral("saved"));
        wanted.tags = false;
        return wanted;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start());
        QVERIFY(m_dir.isValid());
    }

    // Results come in the order the items were added, at most three
    // analyses wait at once, and an unknown sound gets a failed entry.
    void queuesInOrder()
    {
        DownloadHistory history(m_dir.filePath(QStringLiteral("order.sqlite")));
        DownloadQueue queue(history, 3);
        DownloadBatch batch(queue, config(), settings());
        QSignalSpy queued(&batch, &DownloadBatch::queued);
        QSignalSpy failed(&batch, &DownloadBatch::failed);
        QSignalSpy analysed(&batch, &DownloadBatch::analysed);
        const QStringList ids = {QStringLiteral("file-bytes-11"), QStringLiteral("424242"),
                                 QStringLiteral("file-bytes-12"), QStringLiteral("file-bytes-13"),
                                 QStringLiteral("file-bytes-14")};
        m_service.closeGate("/sound/info");
        QList<DownloadBatch::Item> items;
        for (const QString &id : ids)
            items.append({page(id), QStringLiteral("名") + id, QStringLiteral("歌手")});
        batch.add(items);
        QVERIFY(batch.isAnalysing());
        QTRY_COMPARE(m_service.heldAtGate("/sound/info"), DownloadBatch::MaxAnalyses);
        m_service.openGate("/sound/info");
        QTRY_COMPARE(analysed.size(), 1);
        QVERIFY(!batch.isAnalysing());

        QStringList queuedIds;
        for (const QList<QVariant> &signal : queued)
            queuedIds.append(history.entry(signal.at(1).toLongLong())->soundId);
        QCOMPARE(queuedIds, (QStringList{ids[0], ids[2], ids[3], ids[4]}));
        QCOMPARE(failed.size(), 1);
        const auto failure = failed.first().at(0).value<DownloadBatch::Failure>();
        QCOMPARE(failure.address, page(ids[1]));
        QVERIFY(failure.analysis != AnalysisStatus::Done); // the analysis failed, said once
        const std::optional<DownloadEntry> bad = history.entry(failure.id);
        QCOMPARE(bad->state, DownloadState::Failed);
        QCOMPARE(bad->soundId, ids[1]);
        QCOMPARE(bad->name, QStringLiteral("名424242"));
        QVERIFY(!bad->error.isEmpty());
    }

    void failedAnalysisSaysSo_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("error");
        QTest::newRow("connection dropped")
            << QStringLiteral("fault-drop") << QStringLiteral("网络连接失败，请稍后再试..");
        QTest::newRow("no record") << QStringLiteral("424242")
                                   << QStringLiteral("未能获取音乐信息，请检查地址..");
    }

    // The failed row and the failure tell the program's sentence, not the
    // network's words.
    void failedAnalysisSaysSo()
    {
        QFETCH(QString, id);
        QFETCH(QString, error);
        QTemporaryDir dir;
        DownloadHistory history(dir.filePath(QStringLiteral("failed.sqlite")));
        DownloadQueue queue(history, 3);
        DownloadBatch batch(queue, config(), settings());
        QSignalSpy failed(&batch, &DownloadBatch::failed);
        batch.add({{page(id), {}, {}}});
        QTRY_COMPARE(failed.size(), 1);
        const auto failure = failed.first().at(0).value<DownloadBatch::Failure>();
        QCOMPARE(failure.reason, error);
        QCOMPARE(history.entry(failure.id)->error, error);
    }

    // A paused download of the same file goes on in its own row.
    void continuesAPausedOne()
    {
        QTemporaryDir dir;
        DownloadHistory history(dir.filePath(QStringLiteral("paused.sqlite")));
        DownloadEntry paused;
        paused.soundId = QStringLiteral("file-bytes-30");
        paused.folder = settings().folder;
        paused.fileName = QStringLiteral("样本服务 - 下载样本 bytes-30.mp3");
        paused.fileUrl = QStringLiteral("http://stale.invalid/old");
        paused.state = DownloadState::Paused;
        paused.created = QDateTime::currentDateTimeUtc();
        const qint64 id = history.add(paused).value();

        DownloadQueue queue(history, 3);
        DownloadBatch batch(queue, config(), settings());
        QSignalSpy queued(&batch, &DownloadBatch::queued);
        batch.add({{page(paused.soundId), {}, {}}});
        QTRY_COMPARE(queued.size(), 1);
        QCOMPARE(queued.first().at(1).toLongLong(), id);
        QTRY_COMPARE(history.entry(id)->state, DownloadState::Done);
        QCOMPARE(history.count(), 1);
    }

    void donePolicies_data()
    {
        QTest::addColumn<DownloadBatch::DonePolicy>("policy");
        QTest::addColumn<int>("queued");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("asked");
        QTest::newRow("download") << DownloadBatch::DonePolicy::Download << 1 << 0 << 0;
        QTest::newRow("skip") << DownloadBatch::DonePolicy::Skip << 0 << 1 << 0;
        QTest::newRow("ask") << DownloadBatch::DonePolicy::Ask << 0 << 0 << 1;
    }

    // A sound the history has as done, with its file there.
    void donePolicies()
    {
        QFETCH(DownloadBatch::DonePolicy, policy);
        QFETCH(int, queued);
        QFETCH(int, skipped);
        QFETCH(int, asked);
        QTemporaryDir dir;
        DownloadHistory history(dir.filePath(QStringLiteral("done.sqlite")));
        const QString savedPath = dir.filePath(QStringLiteral("earlier.mp3"));
        QFile saved(savedPath);
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.close();
        DownloadEntry done;
        done.soundId = QStringLiteral("file-bytes-20");
        done.state = DownloadState::Done;
        done.savedPath = savedPath;
        done.created = QDateTime::currentDateTimeUtc();
        const qint64 doneId = history.add(done).value();

        DownloadQueue queue(history, 3);
        DownloadBatch batch(queue, config(), settings());
        batch.setDonePolicy(policy);
        QSignalSpy queuedSpy(&batch, &DownloadBatch::queued);
        QSignalSpy skippedSpy(&batch, &DownloadBatch::skipped);
        QSignalSpy askedSpy(&batch, &DownloadBatch::alreadyDone);
        QSignalSpy analysed(&batch, &DownloadBatch::analysed);
        batch.add({{page(done.soundId), {}, {}}});
        QTRY_COMPARE(analysed.size(), 1);
        QCOMPARE(queuedSpy.size(), queued);
        QCOMPARE(skippedSpy.size(), skipped);
        QCOMPARE(askedSpy.size(), asked);
        if (skipped)
            QCOMPARE(skippedSpy.first().at(1).value<DownloadEntry>().id, doneId);
        if (asked) {
            QCOMPARE(askedSpy.first().at(1).value<DownloadEntry>().id, doneId);
            const auto next = askedSpy.first().at(0).value<DownloadEntry>();
            QCOMPARE(next.soundId, done.soundId);
            QCOMPARE(next.pageAddress, page(done.soundId));
        }
        QCOMPARE(history.count(), 1 + queued);
    }
};

QTEST_GUILESS_MAIN(DownloadBatchTest)
#include "download_batch_test.moc"
