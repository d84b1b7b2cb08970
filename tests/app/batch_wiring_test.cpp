// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/batch_wiring.h"
#include "app/program_downloads.h"
#include "hotlist/hot_list_window.h"
#include "library/download_history.h"
#include "library/program_settings.h"
#include "net/network_access.h"
#include "queue/download_queue.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "support/box_closer.h"
#include "support/folder_files.h"
#include "support/start_up.h"
#include "support/user_input.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class BatchWiringTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;

    ServiceConfig config() const { return ServiceConfig::allAt(m_service.hostAndPort()); }

    // Every entry in the history, oldest first.
    static QList<DownloadEntry> stored(DownloadHistory &history)
    {
        QList<DownloadEntry> all = history.page(0, history.count());
        std::reverse(all.begin(), all.end());
        return all;
    }

    // The window side as the program makes it.
    struct Program
    {
        explicit Program(const ServiceConfig &config)
            : main(config)
            , downloads(main, settings, config, {})
            , batches(downloads)
        {
            main.useSettings(settings);
            main.setSkinPath(QStringLiteral("/nonexistent/1.she"));
        }
        ProgramSettings settings;
        MainWindow main;
        ProgramDownloads downloads;
        BatchWiring batches;
    };

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start());
        QVERIFY(m_dir.isValid());
        DownloadSettings settings = loadDownloadSettings();
        settings.folder = m_dir.path();
        settings.tags = false;
        QVERIFY(saveDownloadSettings(settings));
    }

    void init()
    {
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(DownloadHistory::defaultPath() + QLatin1String(suffix));
    }

    void cleanup() { setQuestionAnswerer({}); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    // Both buttons queue their rows' sounds in list order, a sound listed
    // twice once, each analysed beside the main window, whose sound stays as
    // it was; the buttons wait meanwhile and the downloads window comes forward.
    void hotListButtonsQueueTheirRows_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QList<int>>("rows");
        QList<int> all;
        for (int i = 0; i < HotEntryCount; ++i)
            all.append(i);
        QTest::newRow("all") << QByteArray("downloadAllButton") << all;
        QTest::newRow("selected") << QByteArray("downloadSelectedButton") << QList<int>{1, 4};
    }

    void hotListButtonsQueueTheirRows()
    {
        QFETCH(QByteArray, button);
        QFETCH(QList<int>, rows);
        Program program(config());
        QVERIFY(startUpAndWait(program.main));
        program.main.setAddressText(m_service.soundPageUrl(QStringLiteral("1004")));
        QSignalSpy analysed(&program.main, &MainWindow::analysisEnded);
        program.main.analyseAddress();
        QVERIFY(analysed.wait(30000));
        const SoundInfo shown = program.main.soundInfo();

        HotListWindow hotList(config());
        program.batches.connectHotList(hotList);
        hotList.showHotList();
        QVERIFY(QTest::qWaitForWindowExposed(&hotList));
        QSignalSpy refreshed(&hotList, &HotListWindow::refreshEnded);
        hotList.refresh();
        QVERIFY(refreshed.wait());
        auto *list = hotList.findChild<QAbstractItemView *>(QStringLiteral("hotListView"));
        for (const int row : rows)
            UserInput::clickRow(list, row, Qt::LeftButton, Qt::ControlModifier);

        BoxCloser boxes;
        QSignalSpy settled(&program.batches, &BatchWiring::batchSettled);
        auto *pressed = hotList.findChild<QPushButton *>(QLatin1String(button));
        UserInput::click(pressed);
        QVERIFY(!pressed->isEnabled());
        QVERIFY(program.downloads.window() && program.downloads.window()->isVisible());
        QVERIFY(settled.wait(30000));
        QVERIFY(pressed->isEnabled());

        QStringList wanted;
        for (const int row : rows)
            if (const QString link = list->model()->index(row, HotListModel::LinkColumn).data().toString();
                !wanted.contains(link))
                wanted.append(link);
        QStringList queued;
        for (const DownloadEntry &entry : stored(program.downloads.history()))
            queued.append(entry.pageAddress);
        QCOMPARE(queued, wanted);
        QCOMPARE(program.main.soundInfo(), shown);
        QCOMPARE(analysed.size(), 1);
        QCOMPARE(boxes.boxes.size(), 0);
    }

    // Sounds already downloaded are asked about once, all together, after
    // the rest are queued; addresses that are no sound page and sounds that
    // cannot be analysed get failed rows and no box.
    void doneAskedOnceFailuresInRows_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("yes queues them again") << Answer::Yes;
        QTest::newRow("no leaves them") << Answer::No;
    }

    void doneAskedOnceFailuresInRows()
    {
        QFETCH(Answer, answer);
        Program program(config());
        const QStringList done = {m_service.soundPageUrl(QStringLiteral("1001")),
                                  m_service.soundPageUrl(QStringLiteral("1002"))};
        QSignalSpy settled(&program.batches, &BatchWiring::batchSettled);
        program.batches.download(done);
        QVERIFY(settled.wait(30000));
        QTRY_VERIFY_WITH_TIMEOUT(program.downloads.queue().isIdle(), 30000);

        QStringList asked;
        setQuestionAnswerer([&](const QString &, const QString &text) {
            asked.append(text);
            return answer;
        });
        BoxCloser boxes;
        program.batches.download(done + QStringList{m_service.soundPageUrl(QStringLiteral("1003")),
                                                    QStringLiteral("http://elsewhere.example/x"),
                                                    m_service.soundPageUrl(QStringLiteral("no-such-sound"))});
        QVERIFY(settled.wait(30000));
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().startsWith(QStringLiteral("以下 2 首音乐已下载过，要再次下载吗？")));
        QCOMPARE(asked.first().count(u'\n'), 3);

        QTRY_VERIFY_WITH_TIMEOUT(program.downloads.queue().isIdle(), 30000);
        const QList<DownloadEntry> all = stored(program.downloads.history());
        QCOMPARE(all.size(), 2 + 3 + (answer == Answer::Yes ? 2 : 0));
        QStringList failed;
        for (const DownloadEntry &entry : all)
            if (entry.state == DownloadState::Failed)
                failed.append(entry.pageAddress);
        QCOMPARE(failed, QStringList({QStringLiteral("http://elsewhere.example/x"),
                                      m_service.soundPageUrl(QStringLiteral("no-such-sound"))}));
        QCOMPARE(boxes.boxes.size(), 0);
    }
};

QTEST_MAIN(BatchWiringTest)
#include "batch_wiring_test.moc"
