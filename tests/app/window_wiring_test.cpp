// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/window_wiring.h"
#include "hotlist/hot_list_window.h"
#include "net/network_access.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "shell/window_chrome.h"
#include "support/start_up.h"
#include "support/user_input.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <memory>

class WindowWiringTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    ServiceConfig config() const { return ServiceConfig::allAt(m_service.hostAndPort()); }

    std::unique_ptr<MainWindow> readyMainWindow()
    {
        auto window = std::make_unique<MainWindow>(config());
        window->setSkinPath(QStringLiteral("/nonexistent/1.she"));
        startUpAndWait(*window);
        return window;
    }

    static void click(QWidget &window, const char *name)
    {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        UserInput::click(window.findChild<QWidget *>(QLatin1String(name)));
    }

    static void refresh(HotListWindow &hotList)
    {
        QSignalSpy ended(&hotList, &HotListWindow::refreshEnded);
        click(hotList, "refreshButton");
        QVERIFY(ended.wait());
    }

    static int rowCount(HotListWindow &hotList)
    {
        return hotList.findChild<QTreeView *>(QStringLiteral("hotListView"))->model()->rowCount();
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    // One hot-list window for the program: made on the first click, shown
    // again on later ones, loaded anew after a close.
    void linkShowsOneWindow()
    {
        auto main = readyMainWindow();
        std::unique_ptr<HotListWindow> hotList;
        connectHotListLink(*main, config(), hotList);
        click(*main, "hotListLink");
        QVERIFY(hotList);
        QVERIFY(hotList->isVisible());
        HotListWindow *first = hotList.get();
        QSignalSpy loads(first, &HotListWindow::loaded);
        refresh(*first);
        click(*main, "hotListLink");
        QCOMPARE(hotList.get(), first);
        QCOMPARE(loads.size(), 0);
        QCOMPARE(rowCount(*first), 15);
        click(*first, "closeLink");
        click(*main, "hotListLink");
        QCOMPARE(hotList.get(), first);
        QCOMPARE(loads.size(), 1);
        QVERIFY(first->isVisible());
        QCOMPARE(rowCount(*first), 0);
    }

    // A row double-clicked in the list is analysed in the main window, which
    // comes to the front; the list stays open behind it.
    void chosenSoundIsAnalysed()
    {
        auto main = readyMainWindow();
        std::unique_ptr<HotListWindow> hotList;
        connectHotListLink(*main, config(), hotList);
        click(*main, "hotListLink");
        refresh(*hotList);
        QVERIFY(QTest::qWaitForWindowActive(hotList.get()));

        auto *view = hotList->findChild<QTreeView *>(QStringLiteral("hotListView"));
        const QString link = view->model()->index(2, HotListModel::LinkColumn).data().toString();
        const QString name = view->model()->index(2, HotListModel::NameColumn).data().toString();
        QSignalSpy ended(main.get(), &MainWindow::analysisEnded);
        UserInput::doubleClickRow(view, 2);
        QVERIFY(ended.wait());
        QTRY_COMPARE(QApplication::activeWindow(), main.get());
        QCOMPARE(main->findChild<QLineEdit *>(QStringLiteral("addressEdit"))->text(), link);
        QCOMPARE(main->statusMessage(), QStringLiteral("音乐分析完毕.."));
        QCOMPARE(main->soundInfo().soundName, name);
        QVERIFY(hotList->isVisible());
    }

    // An address handed over by a later start comes into the box of the
    // window, brought back from the taskbar, and is analysed only when a
    // click on the analyse button would be; none only brings the window back.
    void handedOverAddress_data()
    {
        QTest::addColumn<bool>("checkPassed");
        QTest::addColumn<QString>("soundId"); // empty: no address handed over
        QTest::newRow("analysed") << true << "1002";
        QTest::newRow("before the update check: box only") << false << "1002";
        QTest::newRow("no address") << true << QString();
    }

    void handedOverAddress()
    {
        QFETCH(bool, checkPassed);
        QFETCH(QString, soundId);
        auto main = checkPassed ? readyMainWindow() : std::make_unique<MainWindow>(config());
        main->showMinimized();
        QSignalSpy ended(main.get(), &MainWindow::analysisEnded);
        auto *box = main->findChild<QLineEdit *>(QStringLiteral("addressEdit"));
        const QString address = soundId.isEmpty() ? QString() : m_service.soundPageUrl(soundId);
        const QString held = address.isEmpty() ? box->text() : address;
        takeHandedOverAddress(*main, address);
        QVERIFY(!main->isMinimized());
        QCOMPARE(box->text(), held);
        if (checkPassed && !soundId.isEmpty()) {
            QVERIFY(ended.wait());
            QCOMPARE(main->statusMessage(), QStringLiteral("音乐分析完毕.."));
        } else {
            QCOMPARE(ended.size(), 0);
            QVERIFY(main->soundInfo().soundName.isEmpty());
        }
    }
};

QTEST_MAIN(WindowWiringTest)
#include "window_wiring_test.moc"
