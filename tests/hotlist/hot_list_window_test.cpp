#include "hotlist/hot_list_window.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "services/network_access.h"
#include "shell/main_window.h"
#include "shell/window_chrome.h"
#include "support/box_closer.h"
#include "support/hot_pages.h"
#include "support/start_up.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace std::chrono_literals;

namespace {

// Sends a mouse event with the given buttons held, as a real drag would.
void sendMouse(QWidget *target, QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class HotListWindowTest : public QObject
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

    static HotListView *list(HotListWindow &w)
    {
        return w.findChild<HotListView *>(QStringLiteral("ListView1"));
    }
    static TitleLink *closeLink(HotListWindow &w)
    {
        return w.findChild<TitleLink *>(QStringLiteral("Label2_2"));
    }

    static void startRefresh(HotListWindow &w)
    {
        QTest::mouseClick(w.findChild<QWidget *>(QStringLiteral("aicAlphaImage2")), Qt::LeftButton);
    }

    // Clicks the refresh picture and waits for the refresh to end.
    static void clickRefresh(HotListWindow &w)
    {
        QSignalSpy ended(&w, &HotListWindow::refreshEnded);
        startRefresh(w);
        QVERIFY(ended.wait());
    }

    static int rowCount(HotListWindow &w) { return list(w)->model()->rowCount(); }

    static QList<HotEntry> shownRows(HotListWindow &w)
    {
        const QAbstractItemModel *model = list(w)->model();
        QList<HotEntry> rows;
        for (int i = 0; i < model->rowCount(); ++i) {
            QStringList f;
            for (int c = 0; c < HotEntry::FieldCount; ++c)
                f.append(model->index(i, c).data().toString());
            rows.append({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
        }
        return rows;
    }

    static void doubleClickRow(HotListWindow &w, int row)
    {
        const QPoint at = list(w)->visualRect(list(w)->model()->index(row, 0)).center();
        QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list(w)->viewport(), Qt::LeftButton, {}, at);
    }

    static QList<int> columnWidths(HotListWindow &w)
    {
        QList<int> widths;
        for (int i = 0; i < HotEntry::FieldCount; ++i)
            widths.append(list(w)->header()->sectionSize(i));
        return widths;
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void init()
    {
        m_service.openGate("/"); // left closed by a test that failed
        m_service.clearFaults();
        m_service.setHomePageBody(homePageHtml());
    }

    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    void openedWindowShowsAnEmptyListWithSixColumns()
    {
        HotListWindow w(config(), nullptr);
        w.showHotList();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(624, 408));
        QCOMPARE(w.windowTitle(), QStringLiteral("Vexa热榜"));
        QVERIFY(w.windowIcon().isNull());
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));

        HotListView *view = list(w);
        QCOMPARE(view->geometry(), QRect(8, 112, 609, 289));
        QCOMPARE(view->model()->rowCount(), 0);
        const QStringList headers = {QStringLiteral("ID"),   QStringLiteral("音乐名称"),
                                     QStringLiteral("频道"), QStringLiteral("分享"),
                                     QStringLiteral("喜欢"), QStringLiteral("评论"),
                                     QStringLiteral("链接")};
        for (int i = 0; i < headers.size(); ++i)
            QCOMPARE(view->model()->headerData(i, Qt::Horizontal).toString(), headers.at(i));
        QCOMPARE(columnWidths(w), (QList<int>{53, 167, 133, 53, 53, 53, 0}));
        QCOMPARE(view->model()->columnCount(), 7);
        QVERIFY(view->isColumnHidden(6));
        QCOMPARE(view->font().families().first(), QStringLiteral("微软雅黑"));
        QCOMPARE(view->font().pointSize(), 9);

        // The border drawing fits the panel between the side lines.
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Image2"))->geometry(), QRect(1, 102, 622, 305));
        QCOMPARE(w.borderLines(), hotListBorderLines(QSize(624, 408)));
        QCOMPARE(w.findChild<QWidget *>(QStringLiteral("aicAlphaImage2"))->toolTip(),
                 QStringLiteral("获取热门音乐"));
        QCOMPARE(closeLink(w)->geometry(), QRect(592, 8, 19, 27));
    }

    void mainWindowLinkShowsOneWindow()
    {
        auto main = readyMainWindow();
        std::unique_ptr<HotListWindow> hotList;
        connectHotListLink(*main, config(), hotList);
        auto *link = main->findChild<TitleLink *>(QStringLiteral("Label2_0"));
        QTest::mouseClick(link, Qt::LeftButton);
        QVERIFY(hotList);
        QVERIFY(hotList->isVisible());
        HotListWindow *first = hotList.get();
        QSignalSpy loads(first, &HotListWindow::loaded);
        clickRefresh(*first);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(hotList.get(), first);
        QCOMPARE(loads.size(), 0);
        QCOMPARE(rowCount(*first), 15);
        // Closed and asked for again: the same object, loaded anew.
        QTest::mouseClick(closeLink(*first), Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(hotList.get(), first);
        QCOMPARE(loads.size(), 1);
        QVERIFY(first->isVisible());
        QCOMPARE(rowCount(*first), 0);
    }

    void headerLock_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("drag after ID") << 0 << false;
        QTest::newRow("drag after channel") << 2 << false;
        QTest::newRow("drag before the hidden link") << 5 << false;
        QTest::newRow("double-click after name") << 1 << true;
        QTest::newRow("double-click before the hidden link") << 5 << true;
    }

    void headerLock()
    {
        QFETCH(int, column);
        QFETCH(bool, doubleClick);
        HotListWindow w(config(), nullptr);
        w.showHotList();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        clickRefresh(w); // contents wider than some columns, for the auto-size
        const QList<int> before = columnWidths(w);

        QHeaderView *header = list(w)->header();
        QWidget *target = header->viewport();
        const int y = header->height() / 2;
        const QPoint divider(header->sectionViewportPosition(column) + header->sectionSize(column) - 1, y);
        if (doubleClick) {
            sendMouse(target, QEvent::MouseButtonPress, divider, Qt::LeftButton);
            sendMouse(target, QEvent::MouseButtonRelease, divider, Qt::NoButton);
            sendMouse(target, QEvent::MouseButtonDblClick, divider, Qt::LeftButton);
            sendMouse(target, QEvent::MouseButtonRelease, divider, Qt::NoButton);
        } else {
            sendMouse(target, QEvent::MouseButtonPress, divider, Qt::LeftButton);
            for (int dx = 10; dx <= 120; dx += 10)
                sendMouse(target, QEvent::MouseMove, divider + QPoint(dx, 0), Qt::LeftButton);
            sendMouse(target, QEvent::MouseButtonRelease, divider + QPoint(120, 0), Qt::NoButton);
        }
        QCOMPARE(columnWidths(w), before);
        QVERIFY(list(w)->isColumnHidden(6));
    }

    void refreshAndHandOffToTheMainWindow()
    {
        auto main = readyMainWindow();
        HotListWindow w(config(), main.get());
        w.showHotList();
        clickRefresh(w);
        const QList<HotEntry> rows = shownRows(w);
        QCOMPARE(rows, hotRowsOf(homePageHtml(), m_service.hostAndPort()));
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows.at(i).number, QString::number(i + 1));

        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy ended(main.get(), &MainWindow::analysisEnded);
        doubleClickRow(w, 2);
        QTRY_COMPARE(ended.size(), 1);
        QTRY_COMPARE(QApplication::activeWindow(), main.get());
        QCOMPARE(main->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), rows.at(2).link);
        QCOMPARE(main->statusText(2), QStringLiteral("音乐分析完毕.."));
        const SoundInfo info = main->soundInfo();
        QCOMPARE(info.soundName, rows.at(2).name);
        // The list window stays as it was, behind the main window.
        QVERIFY(w.isVisible());
        QCOMPARE(list(w)->selectionModel()->selectedRows(), QModelIndexList{list(w)->model()->index(2, 0)});
    }

    void emptyListBox_data()
    {
        QTest::addColumn<bool>("reopened");
        QTest::newRow("before the first refresh") << false;
        QTest::newRow("after closing and reopening") << true;
    }

    void emptyListBox()
    {
        QFETCH(bool, reopened);
        auto main = readyMainWindow();
        auto *address = main->findChild<QLineEdit *>(QStringLiteral("Text1"));
        address->setText(QStringLiteral("unchanged"));
        HotListWindow w(config(), main.get());
        w.showHotList();
        if (reopened) {
            clickRefresh(w);
            QTest::mouseClick(closeLink(w), Qt::LeftButton);
            w.showHotList();
        }
        BoxCloser closer;
        QTest::mouseDClick(list(w)->viewport(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(closer.boxes.size(), 1);
        QCOMPARE(closer.boxes.first().title, QStringLiteral("Quorlen软件"));
        QCOMPARE(closer.boxes.first().text, QStringLiteral("音乐列表为空"));
        QCOMPARE(closer.boxes.first().icon, QMessageBox::Information);
        QCOMPARE(address->text(), QStringLiteral("unchanged"));
    }

    void closeKeepsWhatCarriesOverAndReopenLoadsAgain()
    {
        HotListWindow w(config(), nullptr);
        QSignalSpy loads(&w, &HotListWindow::loaded);
        w.showHotList();
        w.showHotList(); // already open: brought forward, not loaded again
        QCOMPARE(loads.size(), 1);
        clickRefresh(w);
        const QList<HotEntry> first = shownRows(w);

        QTest::mouseClick(closeLink(w), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(rowCount(w), 0);
        w.showHotList();
        QCOMPARE(loads.size(), 2);
        QCOMPARE(rowCount(w), 0);

        // A lone unclosed entry takes every value from the last row of the
        // refresh before the close.
        m_service.setHomePageBody(hotTestPage(QStringLiteral("unclosed")));
        clickRefresh(w);
        QCOMPARE(shownRows(w), repeated(first.last()));
    }

    static QList<HotEntry> repeated(const HotEntry &entry)
    {
        QList<HotEntry> rows;
        for (int i = 0; i < HotEntryCount; ++i) {
            rows.append(entry);
            rows.last().number = QString::number(i + 1);
        }
        return rows;
    }

    // A refresh that gets nothing says why and leaves the list alone, empty
    // or not, and what carries over too.
    void refreshThatGetsNothing_data()
    {
        QTest::addColumn<QByteArray>("fault"); // on the home page; empty: none
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<bool>("listedBefore");
        QTest::addColumn<QString>("warning");

        const QString network = QStringLiteral("网络连接失败，请稍后再试..");
        const QString noEntries = QStringLiteral("未能获取热榜信息，请稍后再试..");
        QTest::newRow("dropped, empty list") << QByteArray("drop") << QByteArray() << false << network;
        QTest::newRow("dropped, rows shown") << QByteArray("drop") << QByteArray() << true << network;
        QTest::newRow("empty page, rows shown") << QByteArray() << QByteArray() << true << noEntries;
        QTest::newRow("no entry marker, empty list")
            << QByteArray() << hotTestPage(QStringLiteral("no_entries")) << false << noEntries;
        QTest::newRow("no entry marker, rows shown")
            << QByteArray() << hotTestPage(QStringLiteral("no_entries")) << true << noEntries;
    }

    void refreshThatGetsNothing()
    {
        QFETCH(QByteArray, fault);
        QFETCH(QByteArray, page);
        QFETCH(bool, listedBefore);
        QFETCH(QString, warning);

        HotListWindow w(config(), nullptr);
        w.showHotList();
        QList<HotEntry> before;
        if (listedBefore) {
            clickRefresh(w);
            before = shownRows(w);
            QCOMPARE(before.size(), HotEntryCount);
        }
        m_service.setHomePageBody(page);
        if (!fault.isEmpty())
            m_service.setFault("/", fault);
        QSignalSpy ended(&w, &HotListWindow::refreshEnded);
        {
            BoxCloser closer;
            clickRefresh(w);
            QCOMPARE(closer.boxes.size(), 1);
            QCOMPARE(closer.boxes.first().title, QStringLiteral("Quorlen软件"));
            QCOMPARE(closer.boxes.first().text, warning);
            QCOMPARE(closer.boxes.first().icon, QMessageBox::Warning);
        }
        QCOMPARE(ended.size(), 1);
        QCOMPARE(shownRows(w), before);

        // Nothing carried over changed: the lone unclosed entry still
        // repeats the last row listed before, or the blank start.
        m_service.clearFaults();
        m_service.setHomePageBody(hotTestPage(QStringLiteral("unclosed")));
        clickRefresh(w);
        QCOMPARE(shownRows(w), listedBefore
                                   ? repeated(before.last())
                                   : hotExpectedRows(QStringLiteral("blank"), m_service.hostAndPort()));
    }

    void closeDuringRefreshTakesThePageButListsNothing()
    {
        HotListWindow w(config(), nullptr);
        w.showHotList();
        QSignalSpy ended(&w, &HotListWindow::refreshEnded);
        m_service.closeGate("/");
        startRefresh(w);
        QTRY_COMPARE(m_service.heldAtGate("/"), 1);
        QTest::mouseClick(closeLink(w), Qt::LeftButton);
        m_service.openGate("/");
        QVERIFY(ended.wait());
        QVERIFY(!w.isVisible());
        QVERIFY(!w.isLoaded());
        QCOMPARE(rowCount(w), 0);

        w.showHotList();
        m_service.setHomePageBody(hotTestPage(QStringLiteral("unclosed")));
        clickRefresh(w);
        QCOMPARE(shownRows(w), repeated(hotRowsOf(homePageHtml(), m_service.hostAndPort()).last()));
    }

    // Deleting the window while its refresh waits ends the request with it.
    void deletedDuringRefresh()
    {
        auto w = std::make_unique<HotListWindow>(config(), nullptr);
        w->showHotList();
        m_service.closeGate("/");
        w->refresh();
        QTRY_COMPARE(m_service.heldAtGate("/"), 1);
        w.reset();
        m_service.openGate("/");
        QTRY_COMPARE(m_service.heldAtGate("/"), 0);
    }

    // A click during a refresh starts another, which replaces the first: one
    // page is taken and listed.
    void newerRefreshReplacesTheOlder()
    {
        HotListWindow w(config(), nullptr);
        w.showHotList();
        QSignalSpy ended(&w, &HotListWindow::refreshEnded);
        m_service.closeGate("/");
        startRefresh(w);
        QTRY_COMPARE(m_service.heldAtGate("/"), 1);
        const QByteArray second = hotTestPage(QStringLiteral("short"));
        m_service.setHomePageBody(second);
        startRefresh(w);
        QTRY_COMPARE(m_service.heldAtGate("/"), 2);
        m_service.openGate("/");
        QVERIFY(ended.wait());
        QCOMPARE(shownRows(w), hotRowsOf(second, m_service.hostAndPort()));
        QTRY_COMPARE(m_service.heldAtGate("/"), 0);
        QCOMPARE(ended.size(), 1);
    }

    void dragSources_data()
    {
        QTest::addColumn<QString>("control"); // empty: the backdrop
        QTest::addColumn<bool>("drags");
        QTest::newRow("backdrop") << QString() << true;
        QTest::newRow("logo") << QStringLiteral("aicAlphaImage1") << true;
        QTest::newRow("close link") << QStringLiteral("Label2_2") << false;
        QTest::newRow("list") << QStringLiteral("ListView1") << false;
    }

    void dragSources()
    {
        QFETCH(QString, control);
        QFETCH(bool, drags);
        HotListWindow w(config(), nullptr);
        w.showHotList();
        QSignalSpy drag(&w, &HotListWindow::dragRequested);
        QWidget *target = control.isEmpty() ? &w : w.findChild<QWidget *>(control);
        QTest::mousePress(target, Qt::LeftButton, {}, control.isEmpty() ? QPoint(500, 60) : QPoint(5, 5));
        QTest::mouseRelease(target, Qt::LeftButton, {}, control.isEmpty() ? QPoint(500, 60) : QPoint(5, 5));
        QCOMPARE(drag.size(), drags ? 1 : 0);
        // Only the close link acts on the release.
        QCOMPARE(w.isLoaded(), control != QStringLiteral("Label2_2"));
    }

    void closeLinkHover()
    {
        HotListWindow w(config(), nullptr);
        w.showHotList();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseMove(closeLink(w), QPoint(5, 5));
        QCOMPARE(closeLink(w)->textColor(), TitleLinkHighlight);
        // Over the list: unchanged; over the bare backdrop: normal again.
        QTest::mouseMove(list(w)->viewport(), QPoint(50, 50));
        QCOMPARE(closeLink(w)->textColor(), TitleLinkHighlight);
        QTest::mouseMove(&w, QPoint(500, 60));
        QCOMPARE(closeLink(w)->textColor(), TitleLinkNormal);
    }
};

QTEST_MAIN(HotListWindowTest)
#include "hot_list_window_test.moc"
