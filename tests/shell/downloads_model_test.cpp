// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history.h"
#include "net/network_access.h"
#include "queue/download_queue.h"
#include "sample_service/sample_service.h"
#include "shell/downloads_model.h"
#include "support/shown_text.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

DownloadEntry stored(const QString &name, DownloadState state, qint64 size = -1, qint64 bytes = 0,
                     const QString &error = {})
{
    DownloadEntry e;
    e.soundId = name;
    e.name = name;
    e.singer = QStringLiteral("苏晓棠");
    e.state = state;
    e.size = size;
    e.bytesDone = bytes;
    e.error = error;
    return e;
}

QString cell(const DownloadsModel &model, int row, int column, int role = Qt::DisplayRole)
{
    return model.data(model.index(row, column), role).toString();
}

} // namespace

class DownloadsModelTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;
    std::unique_ptr<DownloadHistory> m_history;
    int m_run = 0; // each test a history of its own

    void fill(int count)
    {
        for (int n = 0; n < count; ++n)
            m_history->add(stored(QString::number(n), DownloadState::Done, 100, 100));
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }
    void init()
    {
        m_history =
            std::make_unique<DownloadHistory>(m_dir.filePath(QStringLiteral("%1.sqlite").arg(++m_run)));
    }
    void cleanup() { m_history.reset(); }

    // Pages of 200 as the view asks, newest first; a download added
    // meanwhile at the top neither repeats nor hides an older row.
    void loadsLazily()
    {
        fill(450);
        DownloadQueue queue(*m_history, 1);
        DownloadsModel model(queue);
        QCOMPARE(model.rowCount(), 200);
        QVERIFY(model.canFetchMore({}));
        QCOMPARE(cell(model, 0, DownloadsModel::NameColumn), QStringLiteral("449"));
        QCOMPARE(cell(model, 199, DownloadsModel::NameColumn), QStringLiteral("250"));

        queue.addFailed(stored(QStringLiteral("new"), DownloadState::Queued), QStringLiteral("无法分析"));
        QCOMPARE(model.rowCount(), 201);
        QCOMPARE(cell(model, 0, DownloadsModel::NameColumn), QStringLiteral("new"));
        model.fetchMore({});
        QCOMPARE(model.rowCount(), 401);
        QCOMPARE(cell(model, 201, DownloadsModel::NameColumn), QStringLiteral("249"));
        model.fetchMore({});
        QCOMPARE(model.rowCount(), 451);
        QCOMPARE(cell(model, 450, DownloadsModel::NameColumn), QStringLiteral("0"));
        QVERIFY(!model.canFetchMore({}));

        // What another process wrote shows once reloaded, from the first page again.
        DownloadHistory(m_dir.filePath(QStringLiteral("%1.sqlite").arg(m_run)))
            .add(stored(QStringLiteral("other"), DownloadState::Done, 1, 1));
        model.reload();
        QCOMPARE(model.rowCount(), 200);
        QCOMPARE(cell(model, 0, DownloadsModel::NameColumn), QStringLiteral("other"));
    }

    void cells_data()
    {
        QTest::addColumn<DownloadEntry>("entry");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("stateTip");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("rowTip"); // on the cells other than the name and file
        const qint64 mib = 1024 * 1024;
        DownloadEntry second = stored(QStringLiteral("a"), DownloadState::Done, 3 * mib, 3 * mib);
        second.savedPath = QStringLiteral("/music/苏晓棠/a (2).mp3");
        DownloadEntry waiting = stored(QStringLiteral("c"), DownloadState::Queued);
        waiting.folder = QStringLiteral("/music");
        waiting.fileName = QStringLiteral("c.mp3");
        const QString reason = QStringLiteral("地址有误，请检查后重新下载，或者换一个地址再试一次");
        QTest::newRow("done") << second << QStringLiteral("3.0 MiB") << QStringLiteral("100%")
                              << QStringLiteral("已完成") << QString() << QStringLiteral("a (2).mp3")
                              << QString();
        QTest::newRow("paused at a third")
            << stored(QStringLiteral("b"), DownloadState::Paused, 3 * mib, mib) << QStringLiteral("3.0 MiB")
            << QStringLiteral("33%") << QStringLiteral("已暂停") << QString() << QString() << QString();
        QTest::newRow("size unknown") << waiting << QString() << QString() << QStringLiteral("等待中")
                                      << QString() << QStringLiteral("c.mp3") << QString();
        QTest::newRow("failed, with why")
            << stored(QStringLiteral("d"), DownloadState::Failed, 2048, 1024, reason)
            << QStringLiteral("2.0 KiB") << QStringLiteral("50%") << (QStringLiteral("失败：") + reason)
            << reason << QString() << reason;
        // The reason may quote the server's answer.
        QTest::newRow("failed, markup in why")
            << stored(QStringLiteral("e"), DownloadState::Failed, 2048, 1024,
                      QStringLiteral("<h1>服务器</h1>"))
            << QStringLiteral("2.0 KiB") << QStringLiteral("50%") << QStringLiteral("失败：<h1>服务器</h1>")
            << QStringLiteral("<h1>服务器</h1>") << QString() << QStringLiteral("<h1>服务器</h1>");
    }

    void cells()
    {
        QFETCH(DownloadEntry, entry);
        QFETCH(QString, size);
        QFETCH(QString, progress);
        QFETCH(QString, state);
        QFETCH(QString, stateTip);
        QFETCH(QString, file);
        QFETCH(QString, rowTip);
        m_history->add(entry);
        DownloadQueue queue(*m_history, 1);
        DownloadsModel model(queue);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(cell(model, 0, DownloadsModel::SizeColumn), size);
        QCOMPARE(cell(model, 0, DownloadsModel::ProgressColumn), progress);
        QCOMPARE(cell(model, 0, DownloadsModel::StateColumn), state);
        QCOMPARE(shownText(cell(model, 0, DownloadsModel::StateColumn, Qt::ToolTipRole)), stateTip);
        QCOMPARE(cell(model, 0, DownloadsModel::FileColumn), file);
        QCOMPARE(shownText(cell(model, 0, DownloadsModel::SingerColumn, Qt::ToolTipRole)), rowTip);
    }

    // A real download: its row comes in at the top, follows it to the end,
    // and goes when it is removed.
    void followsTheQueue()
    {
        QTemporaryDir folder;
        fill(3);
        DownloadQueue queue(*m_history, 1);
        DownloadsModel model(queue);
        DownloadEntry entry = stored(QStringLiteral("live"), DownloadState::Queued);
        entry.fileUrl = m_service.baseUrl() + QStringLiteral("/file/bytes-300000.mp3");
        entry.folder = folder.path();
        entry.fileName = QStringLiteral("live.mp3");
        QSignalSpy ended(&queue, &DownloadQueue::ended);
        const qint64 id = queue.enqueue(entry).value();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.data(model.index(0, 0), DownloadsModel::IdRole).toLongLong(), id);
        QVERIFY(ended.wait(30000));
        QTRY_COMPARE(cell(model, 0, DownloadsModel::StateColumn), QStringLiteral("已完成"));
        QCOMPARE(cell(model, 0, DownloadsModel::SizeColumn), QStringLiteral("293.0 KiB"));
        QCOMPARE(model.entryAt(0).savedPath, folder.filePath(QStringLiteral("live.mp3")));

        queue.remove(id, false);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.rowOf(id), -1);
        QVERIFY(!model.canFetchMore({}));
    }
};

QTEST_MAIN(DownloadsModelTest)
#include "downloads_model_test.moc"
