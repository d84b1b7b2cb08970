// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history.h"
#include "net/network_access.h"
#include "queue/download_queue.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "shell/downloads_model.h"
#include "shell/downloads_window.h"
#include "shell/message_boxes.h"
#include "shell/skin.h"
#include "support/folder_files.h"
#include "support/keyboard_walk.h"
#include "support/user_input.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QStringList Buttons = {"pauseButton", "resumeButton",     "cancelButton", "retryButton",
                             "openButton",  "openFolderButton", "removeButton"};

} // namespace

class DownloadsWindowTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;
    std::unique_ptr<DownloadHistory> m_history;
    std::unique_ptr<DownloadQueue> m_queue;
    std::unique_ptr<DownloadsWindow> m_window;
    QList<QUrl> m_opened;
    int m_run = 0; // each test a history of its own

    // A done download whose file is in the test's folder.
    qint64 addDone(const QString &name)
    {
        DownloadEntry e;
        e.soundId = name;
        e.name = name;
        e.folder = m_dir.path();
        e.savedPath = m_dir.filePath(name + QStringLiteral(".mp3"));
        e.state = DownloadState::Done;
        writeFile(e.savedPath, "sound");
        return m_history->add(e).value();
    }

    // opens: what the opener answers; the desktop's own when unset.
    void makeWindow(std::optional<bool> opens = true)
    {
        m_window = std::make_unique<DownloadsWindow>(*m_queue);
        if (opens)
            m_window->setOpener([this, opens](const QUrl &url) {
                m_opened.append(url);
                return *opens;
            });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void selectRow(int row) { UserInput::clickRow(m_window->view(), row); }

    void click(const QString &name)
    {
        auto *button = m_window->findChild<QToolButton *>(name);
        QVERIFY(button && button->isEnabled());
        UserInput::click(button);
    }

    QStringList enabledButtons() const
    {
        QStringList enabled;
        for (const QString &name : Buttons)
            if (m_window->findChild<QToolButton *>(name)->isEnabled())
                enabled.append(name);
        return enabled;
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }
    void init()
    {
        const QString name =
            QString::fromUtf8(QTest::currentTestFunction()) + QString::fromUtf8(QTest::currentDataTag());
        m_history = std::make_unique<DownloadHistory>(m_dir.filePath(name + QStringLiteral(".sqlite")));
        m_queue = std::make_unique<DownloadQueue>(*m_history, 3);
        m_opened.clear();
    }
    void cleanup()
    {
        setQuestionAnswerer({});
        m_window.reset();
        m_queue.reset();
        m_history.reset();
    }

    // Paused while its answer is stalled, continued from the part file to
    // the same bytes the service sent.
    void pauseAndContinue()
    {
        QTemporaryDir folder;
        const qint64 size = 2000000;
        DownloadEntry e;
        e.soundId = e.name = QStringLiteral("stalled");
        e.fileUrl =
            m_service.baseUrl() + QStringLiteral("/file/bytes-%1;stall=1000000;drops=1.mp3").arg(size);
        e.folder = folder.path();
        e.fileName = QStringLiteral("stalled.mp3");
        const qint64 id = m_queue->enqueue(e).value();
        makeWindow();
        selectRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(m_queue->entry(id)->bytesDone, qint64(1000000), 20000);
        click(QStringLiteral("pauseButton"));
        QTRY_COMPARE(m_queue->entry(id)->state, DownloadState::Paused);
        QTRY_COMPARE(enabledButtons(),
                     (QStringList{"resumeButton", "cancelButton", "openFolderButton", "removeButton"}));
        QSignalSpy ended(m_queue.get(), &DownloadQueue::ended);
        click(QStringLiteral("resumeButton"));
        QVERIFY(ended.wait(30000));
        QCOMPARE(m_queue->entry(id)->state, DownloadState::Done);
        QCOMPARE(contents(folder.filePath(QStringLiteral("stalled.mp3"))), sampleFileBody(size));
        QCOMPARE(entries(folder.path()), QStringList{QStringLiteral("stalled.mp3")});
    }

    // Without validators the part cannot be kept: 暂停 asks first, and only
    // Yes pauses, losing the bytes.
    void pauseAsksWhenNotContinuable()
    {
        QTemporaryDir folder;
        DownloadEntry e;
        e.soundId = e.name = QStringLiteral("fresh");
        e.fileUrl = m_service.baseUrl() +
                    QStringLiteral("/file/bytes-2000000;stall=1000000;drops=1;validator=none.mp3");
        e.folder = folder.path();
        e.fileName = QStringLiteral("fresh.mp3");
        const qint64 id = m_queue->enqueue(e).value();
        makeWindow();
        selectRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(m_queue->entry(id)->bytesDone, qint64(1000000), 20000);
        QStringList asked;
        Answer answer = Answer::No;
        setQuestionAnswerer([&](const QString &, const QString &text) {
            asked.append(text);
            return answer;
        });
        click(QStringLiteral("pauseButton"));
        QCOMPARE(asked, QStringList{QStringLiteral("此下载无法续传，暂停后将从头开始。仍要暂停吗？")});
        QTest::qWait(100);
        QCOMPARE(m_queue->entry(id)->state, DownloadState::Running);
        answer = Answer::Yes;
        click(QStringLiteral("pauseButton"));
        QCOMPARE(asked.size(), 2);
        QTRY_COMPARE(m_queue->entry(id)->state, DownloadState::Paused);
        QCOMPARE(m_queue->entry(id)->bytesDone, qint64(0));
    }

    void buttonsFollowState_data()
    {
        QTest::addColumn<DownloadState>("state");
        QTest::addColumn<QStringList>("enabled");
        QTest::newRow("queued") << DownloadState::Queued
                                << QStringList{"pauseButton", "cancelButton", "openFolderButton",
                                               "removeButton"};
        QTest::newRow("paused") << DownloadState::Paused
                                << QStringList{"resumeButton", "cancelButton", "openFolderButton",
                                               "removeButton"};
        QTest::newRow("failed") << DownloadState::Failed
                                << QStringList{"retryButton", "openFolderButton", "removeButton"};
        QTest::newRow("cancelled") << DownloadState::Cancelled
                                   << QStringList{"retryButton", "openFolderButton", "removeButton"};
        QTest::newRow("done") << DownloadState::Done
                              << QStringList{"openButton", "openFolderButton", "removeButton"};
    }

    void buttonsFollowState()
    {
        QFETCH(DownloadState, state);
        QFETCH(QStringList, enabled);
        DownloadEntry e;
        e.soundId = e.name = QStringLiteral("x");
        e.folder = m_dir.path();
        e.state = state;
        if (state == DownloadState::Done)
            e.savedPath = m_dir.filePath(QStringLiteral("x.mp3"));
        m_history->add(e);
        makeWindow();
        QCOMPARE(enabledButtons(), QStringList());
        QVERIFY(m_window->findChild<QToolButton *>(QStringLiteral("resumeAllButton"))->isEnabled());
        selectRow(0);
        QCOMPARE(enabledButtons(), enabled);
    }

    void opensFileAndFolder_data()
    {
        QTest::addColumn<std::optional<bool>>("opens");
        QTest::newRow("opened") << std::optional<bool>(true);
        QTest::newRow("opener refuses") << std::optional<bool>(false);
        // The offscreen platform has no desktop handler: openUrl says false.
        QTest::newRow("no desktop handler") << std::optional<bool>();
    }

    // Enter opens the file, the button its folder: as addresses the desktop
    // opens. When nothing opens them, the window says where they are.
    void opensFileAndFolder()
    {
        QFETCH(std::optional<bool>, opens);
        addDone(QStringLiteral("a"));
        makeWindow(opens);
        selectRow(0);
        m_window->view()->setFocus();
        QTest::keyClick(m_window->view(), Qt::Key_Return);
        auto *problem = m_window->findChild<QLabel *>(QStringLiteral("openProblemLabel"));
        QCOMPARE(problem->isVisible(), opens != true);
        QVERIFY(problem->isHidden() ||
                problem->text().endsWith(QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("a.mp3")))));
        click(QStringLiteral("openFolderButton"));
        QVERIFY(problem->isHidden() || problem->text().endsWith(QDir::toNativeSeparators(m_dir.path())));
        if (opens)
            QCOMPARE(m_opened, (QList<QUrl>{QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("a.mp3"))),
                                            QUrl::fromLocalFile(m_dir.path())}));
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<bool>("open");
        QTest::newRow("Esc closes") << int(Qt::Key_Escape) << 0 << false << false;
        QTest::newRow("Shift+F10: the menu") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true << true;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, menu);
        QFETCH(bool, open);
        addDone(QStringLiteral("a"));
        makeWindow();
        selectRow(0);
        // To the window, as the keyboard sends it. (The Menu key becomes a
        // context menu in the platform's keyboard code, which offscreen lacks.)
        QTest::keyClick(m_window->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QWidget *popup = QApplication::activePopupWidget();
        QCOMPARE(popup && popup->objectName() == QLatin1String("downloadsMenu"), menu);
        if (popup)
            popup->close();
        QCOMPARE(m_window->isVisible(), open);
    }

    // With the default skin, Tab leaves the table for the buttons a row
    // allows, and each shows that it has the focus.
    void tabReachesTheButtons()
    {
        qApp->setStyleSheet(readSkin(defaultSkinPath()));
        const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        addDone(QStringLiteral("a"));
        makeWindow();
        selectRow(0);
        QCOMPARE(QApplication::focusWidget(), m_window->view());
        QCOMPARE(tabRound(), (QStringList{"downloadsView", "openButton", "openFolderButton", "removeButton",
                                          "resumeAllButton"}));
    }

    void removeAsksAboutTheFile_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("fileKept");
        QTest::newRow("yes: file deleted") << Answer::Yes << 1 << false;
        QTest::newRow("no: file kept") << Answer::No << 1 << true;
        QTest::newRow("cancel: nothing") << Answer::Cancel << 2 << true;
    }

    // The Delete key asks as the button does.
    void removeAsksAboutTheFile()
    {
        QFETCH(Answer, answer);
        QFETCH(int, rows);
        QFETCH(bool, fileKept);
        addDone(QStringLiteral("keep"));
        addDone(QStringLiteral("gone"));
        makeWindow();
        QString asked;
        setQuestionAnswerer([&](const QString &, const QString &text) {
            asked = text;
            return answer;
        });
        selectRow(0);
        m_window->view()->setFocus();
        QTest::keyClick(m_window->view(), Qt::Key_Delete);
        QCOMPARE(asked, QStringLiteral("从列表中移除所选的 1 项下载。\n同时删除下载的文件吗？"));
        QCOMPARE(m_window->model()->rowCount(), rows);
        QCOMPARE(m_history->count(), rows);
        QCOMPARE(QFile::exists(m_dir.filePath(QStringLiteral("gone.mp3"))), fileKept);
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("keep.mp3"))));
    }
};

QTEST_MAIN(DownloadsWindowTest)
#include "downloads_window_test.moc"
