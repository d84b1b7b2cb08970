// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every control a user can click or focus, in every window of the program
// and in the states a user sees it, is what the mouse finds at its centre.
// A widget lying over it takes its clicks even when the pixels look right.

#include "app/program_downloads.h"
#include "hotlist/hot_list_window.h"
#include "library/download_settings.h"
#include "net/network_access.h"
#include "queue/download_queue.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/settings_dialog.h"
#include "support/start_up.h"
#include "support/user_input.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

bool takesInput(const QWidget *w)
{
    return (w->focusPolicy() & Qt::ClickFocus) || w->testAttribute(Qt::WA_SetCursor) ||
           qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QAbstractSlider *>(w) || qobject_cast<const QAbstractItemView *>(w) ||
           qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

QString nameOf(const QWidget *w)
{
    if (!w)
        return QStringLiteral("nothing");
    QString name =
        w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    if (w->objectName().isEmpty() && w->parentWidget())
        name += QStringLiteral(" in ") + nameOf(w->parentWidget());
    return name;
}

// The controls of the window that a click at their centre misses, each with
// what the click finds there instead; and how many were looked at.
QStringList missedControls(QWidget *window, int &looked)
{
    QStringList missed;
    looked = 0;
    const QList<QWidget *> all = window->findChildren<QWidget *>();
    for (const QWidget *control : all) {
        if (control->window() != window || !control->isVisible() || !control->isEnabled() ||
            !takesInput(control))
            continue;
        ++looked;
        const QWidget *found = window->childAt(control->mapTo(window, control->rect().center()));
        if (found != control && !control->isAncestorOf(found))
            missed.append(nameOf(control) + QStringLiteral(" under ") + nameOf(found));
    }
    return missed;
}

QWidget *shownBox(const QWidget *parent)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox *>(top) && top->isVisible() && top->parentWidget() == parent)
            return top;
    return nullptr;
}

} // namespace

class WindowHitTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_folder;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ProgramDownloads> m_downloads;
    std::unique_ptr<HotListWindow> m_hotList;

    ServiceConfig config() const { return ServiceConfig::allAt(m_service.hostAndPort()); }

    MainWindow &mainWindow()
    {
        m_main = std::make_unique<MainWindow>(config());
        m_main->setSkinPath(QStringLiteral(VEXA_TEST_DATA_DIR "/../../resources/1.she"));
        m_downloads =
            std::make_unique<ProgramDownloads>(*m_main, m_main->settings(), config(), FetchOptions{});
        if (!startUpAndWait(*m_main))
            qFatal("the update check did not end");
        return *m_main;
    }

    void analyse(const QString &id)
    {
        QSignalSpy ended(m_main.get(), &MainWindow::analysisEnded);
        m_main->setAddressText(m_service.soundPageUrl(id));
        m_main->analyseAddress();
        QVERIFY(ended.wait(30000));
    }

    // The window of the scene, shown as the user sees it.
    QWidget *stage(const QString &scene)
    {
        if (scene.startsWith(QLatin1String("hot list"))) {
            m_hotList = std::make_unique<HotListWindow>(config());
            m_hotList->showHotList();
            if (scene.endsWith(QLatin1String("rows"))) {
                QSignalSpy ended(m_hotList.get(), &HotListWindow::refreshEnded);
                m_hotList->refresh();
                ended.wait(30000);
            }
            return m_hotList.get();
        }
        MainWindow &main = mainWindow();
        if (scene == QLatin1String("main, ready"))
            return &main;
        if (scene == QLatin1String("main, list")) {
            QList<HotEntry> rows(2);
            rows[0].link = m_service.soundPageUrl(QStringLiteral("1001"));
            rows[1].link = m_service.soundPageUrl(QStringLiteral("1002"));
            QSignalSpy ended(&main, &MainWindow::analysisEnded);
            main.playList(rows, 0);
            return ended.wait(30000) ? &main : nullptr;
        }
        analyse(QStringLiteral("1001"));
        if (scene == QLatin1String("main, analysed"))
            return &main;
        if (scene == QLatin1String("settings dialog")) {
            main.openSettings();
            return main.settingsDialog();
        }
        if (scene == QLatin1String("warning box")) {
            showMessage(&main, MessageKind::Warning,
                        QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版"));
            return shownBox(&main);
        }
        if (scene == QLatin1String("question box")) {
            setQuestionAnswerer({});
            askQuestion(&main, QStringLiteral("仍要暂停吗？"), true, [](Answer) {});
            return shownBox(&main);
        }
        // Downloads caught mid-way, so their rows and the status line show progress.
        m_service.setFileRate(64 * 1024);
        auto *download = main.findChild<QWidget *>(QStringLiteral("downloadButton"));
        UserInput::click(download);
        analyse(QStringLiteral("1002"));
        UserInput::click(download);
        if (!QTest::qWaitFor([this] { return m_downloads->queue().runningCount() > 0; }, 30000))
            return nullptr;
        if (scene == QLatin1String("main, downloading"))
            return &main;
        m_downloads->showWindow();
        // A row chosen, so that its actions are there to press.
        auto *rows = m_downloads->window()->findChild<QAbstractItemView *>(QStringLiteral("downloadsView"));
        if (!QTest::qWaitForWindowExposed(rows->window()) || rows->model()->rowCount() == 0)
            return nullptr;
        UserInput::clickRow(rows, 0);
        // Offscreen there is no file manager: the window says where the folder is.
        if (scene.endsWith(QLatin1String("open failed")))
            UserInput::click(m_downloads->window()->findChild<QWidget *>(QStringLiteral("openFolderButton")));
        return m_downloads->window();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start());
        QVERIFY(m_folder.isValid());
        DownloadSettings settings = loadDownloadSettings();
        settings.folder = m_folder.path();
        QVERIFY(saveDownloadSettings(settings));
    }

    void init()
    {
        // Downloading a sound again is asked first: yes.
        setQuestionAnswerer([](const QString &, const QString &) { return Answer::Yes; });
    }

    void cleanup()
    {
        setQuestionAnswerer({});
        m_hotList.reset();
        m_downloads.reset();
        m_main.reset();
        m_service.setFileRate(0);
    }

    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    void everyControlIsWhereItIsDrawn_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<int>("fewestControls");
        QTest::newRow("main window, ready") << "main, ready" << 10;
        QTest::newRow("main window, analysed") << "main, analysed" << 10;
        QTest::newRow("main window, downloading") << "main, downloading" << 10;
        QTest::newRow("hot list, empty") << "hot list" << 4;
        QTest::newRow("main window, list: previous, next") << "main, list" << 12;
        QTest::newRow("hot list, 15 rows: play all") << "hot list, rows" << 5;
        QTest::newRow("downloads window, rows") << "downloads window" << 6;
        QTest::newRow("downloads window, open failed") << "downloads window, open failed" << 6;
        QTest::newRow("settings dialog") << "settings dialog" << 5;
        QTest::newRow("message box") << "warning box" << 1;
        QTest::newRow("question box") << "question box" << 3;
    }

    void everyControlIsWhereItIsDrawn()
    {
        QFETCH(QString, scene);
        QFETCH(int, fewestControls);
        QWidget *window = stage(scene);
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        int looked = 0;
        const QStringList missed = missedControls(window, looked);
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QStringLiteral("; "))));
        // The walk found the controls it is about.
        QVERIFY2(looked >= fewestControls, qPrintable(QString::number(looked)));
    }
};

QTEST_MAIN(WindowHitTest)
#include "window_hit_test.moc"
