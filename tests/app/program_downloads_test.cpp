// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program_downloads.h"
#include "library/download_history.h"
#include "library/download_settings.h"
#include "net/network_access.h"
#include "queue/download_queue.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/settings_dialog.h"
#include "shell/window_chrome.h"
#include "support/folder_files.h"
#include "support/start_up.h"
#include "support/user_input.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ProgramDownloadsTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;

    std::unique_ptr<MainWindow> readyWindow()
    {
        auto window = std::make_unique<MainWindow>(ServiceConfig::allAt(m_service.hostAndPort()));
        window->setSkinPath(QStringLiteral("/nonexistent/1.she"));
        window->setDownloadFolder(m_dir.path());
        return window;
    }

    static void click(QWidget &window, const char *name)
    {
        QVERIFY(UserInput::shown(&window));
        UserInput::click(window.findChild<QWidget *>(QLatin1String(name)));
    }

    static void analyse(MainWindow &w, const QString &address)
    {
        w.setAddressText(address);
        QSignalSpy ended(&w, &MainWindow::analysisEnded);
        w.analyseAddress();
        QVERIFY(ended.wait(30000));
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }
    void cleanup() { setQuestionAnswerer({}); }

    // One downloads window, made on the first click and raised on later ones.
    void linkShowsOneWindow()
    {
        auto main = readyWindow();
        ProgramDownloads downloads(*main, main->settings(), ServiceConfig::allAt(m_service.hostAndPort()),
                                   {});
        QVERIFY(startUpAndWait(*main));
        QVERIFY(!downloads.window());
        click(*main, "downloadsLink");
        DownloadsWindow *first = downloads.window();
        QVERIFY(first && first->isVisible());
        first->close();
        click(*main, "downloadsLink");
        QCOMPARE(downloads.window(), first);
        QVERIFY(first->isVisible());
    }

    void askBeforeDownloadingAgain_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("yes queues") << Answer::Yes;
        QTest::newRow("no does not") << Answer::No;
    }

    void askBeforeDownloadingAgain()
    {
        QFETCH(Answer, answer);
        auto main = readyWindow();
        ProgramDownloads downloads(*main, main->settings(), ServiceConfig::allAt(m_service.hostAndPort()),
                                   {});
        QVERIFY(startUpAndWait(*main));
        analyse(*main, m_service.soundPageUrl(QStringLiteral("1001")));
        DownloadEntry done;
        done.soundId = QStringLiteral("1001");
        done.state = DownloadState::Done;
        done.savedPath = m_dir.filePath(QStringLiteral("saved.mp3"));
        writeFile(done.savedPath, "sound");
        downloads.history().add(done);
        const int before = downloads.history().count();
        QString asked;
        setQuestionAnswerer([&](const QString &, const QString &text) {
            asked = text;
            return answer;
        });
        QSignalSpy ended(&downloads.queue(), &DownloadQueue::ended);
        click(*main, "downloadButton");
        QCOMPARE(asked, QStringLiteral("《晨光里的小城》已下载过：\n%1\n要再次下载吗？").arg(done.savedPath));
        QCOMPARE(downloads.history().count(), before + (answer == Answer::Yes ? 1 : 0));
        if (answer == Answer::Yes) {
            QVERIFY(ended.wait(30000));
            QCOMPARE(ended.first().first().value<DownloadEntry>().state, DownloadState::Done);
        }
    }

    // The settings dialog's number of downloads at once reaches the queue at once.
    void jobsSettingReachesTheQueue()
    {
        auto main = readyWindow();
        ProgramDownloads downloads(*main, main->settings(), ServiceConfig::allAt(m_service.hostAndPort()),
                                   {});
        click(*main, "settingsLink");
        QVERIFY(main->settingsDialog());
        main->settingsDialog()->findChild<QSpinBox *>(QStringLiteral("jobsBox"))->setValue(7);
        click(*main->settingsDialog(), "okButton");
        QCOMPARE(downloads.queue().maxRunning(), 7);
    }

    // A history that cannot be kept is told in the status line when it is
    // first used, not at start-up, which never opens it.
    void historyOffIsTold()
    {
        const QByteArray data = qgetenv("XDG_DATA_HOME");
        const QString blocked = m_dir.filePath(QStringLiteral("not-a-folder"));
        writeFile(blocked, "x");
        qputenv("XDG_DATA_HOME", blocked.toLocal8Bit());
        auto main = readyWindow();
        ProgramDownloads downloads(*main, main->settings(), ServiceConfig::allAt(m_service.hostAndPort()),
                                   {});
        qputenv("XDG_DATA_HOME", data);
        QVERIFY(startUpAndWait(*main));
        const QString welcome = main->statusMessage();
        QVERIFY(!downloads.history().isPersistent());
        QVERIFY(main->statusMessage() != welcome);
        QCOMPARE(main->statusMessage(), downloads.history().problem());
    }

    // So is a stored setting that was refused, and what is used instead.
    void refusedSettingIsTold()
    {
        openSettingsFile().setValue(QStringLiteral("jobs"), 999);
        const auto restore = qScopeGuard([] { openSettingsFile().remove(QStringLiteral("jobs")); });
        auto main = readyWindow();
        ProgramDownloads downloads(*main, main->settings(), ServiceConfig::allAt(m_service.hostAndPort()),
                                   {});
        QVERIFY(startUpAndWait(*main));
        QVERIFY2(main->statusMessage().contains(QStringLiteral("jobs=999")),
                 qPrintable(main->statusMessage()));
        QCOMPARE(downloads.queue().maxRunning(), loadDownloadSettings().jobs);
    }
};

QTEST_MAIN(ProgramDownloadsTest)
#include "program_downloads_test.moc"
