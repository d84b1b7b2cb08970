// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hotlist/hot_list_window.h"
#include "library/download_history.h"
#include "net/network_access.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "shell/skin.h"
#include "shell/stored_picture.h"
#include "shell/window_chrome.h"
#include "support/box_closer.h"
#include "support/hot_pages.h"
#include "support/keyboard_walk.h"
#include "support/user_input.h"
#include "util/ui_language.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace std::chrono_literals;

class HotListWindowTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    ServiceConfig config() const { return ServiceConfig::allAt(m_service.hostAndPort()); }

    static HotListView *list(HotListWindow &w)
    {
        return w.findChild<HotListView *>(QStringLiteral("hotListView"));
    }
    static TitleLink *closeLink(HotListWindow &w)
    {
        return w.findChild<TitleLink *>(QStringLiteral("closeLink"));
    }
    static QPushButton *allButton(HotListWindow &w)
    {
        return w.findChild<QPushButton *>(QStringLiteral("downloadAllButton"));
    }
    static QPushButton *selectedButton(HotListWindow &w)
    {
        return w.findChild<QPushButton *>(QStringLiteral("downloadSelectedButton"));
    }

    static void open(HotListWindow &w)
    {
        w.showHotList();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

    static void startRefresh(HotListWindow &w)
    {
        UserInput::click(w.findChild<QWidget *>(QStringLiteral("refreshButton")));
    }

    // Clicks the refresh picture and waits for the refresh to end.
    static void clickRefresh(HotListWindow &w)
    {
        QSignalSpy ended(&w, &HotListWindow::refreshEnded);
        startRefresh(w);
        QVERIFY(ended.wait());
    }

    // Shown in front, its list refreshed from the sample service.
    static void showRefreshed(HotListWindow &w)
    {
        w.showHotList();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        clickRefresh(w);
    }

    static int rowCount(HotListWindow &w) { return list(w)->model()->rowCount(); }

    static QList<HotEntry> shownRows(HotListWindow &w)
    {
        const QAbstractItemModel *model = list(w)->model();
        QList<HotEntry> rows;
        for (int i = 0; i < model->rowCount(); ++i) {
            QStringList f;
            for (int c = 0; c < HotEntry::FieldCount; ++c)
                f.append(model->index(i, c < HotListModel::MoveColumn ? c : c + 1).data().toString());
            rows.append({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
        }
        return rows;
    }

    static QList<int> columnWidths(HotListWindow &w)
    {
        QList<int> widths;
        for (int i = 0; i < list(w)->model()->columnCount(); ++i)
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
        HotListWindow w(config());
        open(w);
        QVERIFY(w.windowIcon().isNull());
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(rowCount(w), 0);
        QCOMPARE(list(w)->model()->columnCount(), HotListModel::LinkColumn + 1);
        QVERIFY(list(w)->isColumnHidden(HotListModel::LinkColumn));
    }

    // In every language, with or without the default skin (which frames the
    // focused list): the banner names the hot list rather than the program,
    // the fifteen rows show whole with no scroll bar, and the header's
    // sections fill it to its right end.
    void layoutFits_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("skinned");
        for (const QString &language : UiLanguage::names())
            for (const bool skinned : {false, true})
                QTest::addRow("%s%s", qPrintable(language), skinned ? ", skinned" : "")
                    << language << skinned;
    }

    void layoutFits()
    {
        QFETCH(QString, language);
        QFETCH(bool, skinned);
        UiTranslators translators(*UiLanguage::fromName(language));
        translators.install();
        if (skinned)
            qApp->setStyleSheet(readSkin(defaultSkinPath()));
        const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        HotListWindow w(config());
        showRefreshed(w);
        list(w)->setFocus();

        QCOMPARE(rowCount(w), HotEntryCount);
        const QModelIndex last = list(w)->model()->index(HotEntryCount - 1, 0);
        QVERIFY(list(w)->viewport()->rect().contains(list(w)->visualRect(last)));
        // The rows are laid out now; a scroll range would show its bar.
        QCOMPARE(list(w)->verticalScrollBar()->maximum(), 0);
        QCOMPARE(list(w)->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(list(w)->header()->length(), list(w)->viewport()->width());

        const auto *title = w.findChild<QLabel *>(QStringLiteral("logoTitle"));
        QVERIFY(title);
        QCOMPARE(title->text(), w.windowTitle());
        QVERIFY(title->width() >= title->sizeHint().width());
        QVERIFY(title->geometry().right() < closeLink(w)->geometry().left());
        // The download buttons show their whole text in the banner, apart.
        const QRect all = allButton(w)->geometry();
        const QRect selected = selectedButton(w)->geometry();
        QVERIFY(all.width() >= allButton(w)->sizeHint().width());
        QVERIFY(selected.width() >= selectedButton(w)->sizeHint().width());
        QVERIFY(all.right() < selected.left() && selected.right() < w.width());
        QVERIFY(!all.intersects(title->geometry()) && all.bottom() < list(w)->geometry().top());
        QVERIFY(w.findChild<QLabel *>(QStringLiteral("logo"))->pixmap().toImage() !=
                storedPicture(QStringLiteral("logo")).toImage());
    }

    // Neither a divider drag nor a divider double-click changes a width or
    // brings the hidden link column back.
    void columnsCannotBeResized_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("drag after ID") << 0 << false;
        QTest::newRow("drag after the moves") << int(HotListModel::MoveColumn) << false;
        QTest::newRow("drag after channel") << HotListModel::NameColumn + 1 << false;
        QTest::newRow("drag before the hidden link") << HotListModel::LinkColumn - 1 << false;
        QTest::newRow("double-click after name") << int(HotListModel::NameColumn) << true;
        QTest::newRow("double-click before the hidden link") << HotListModel::LinkColumn - 1 << true;
    }

    void columnsCannotBeResized()
    {
        QFETCH(int, column);
        QFETCH(bool, doubleClick);
        HotListWindow w(config());
        open(w);
        clickRefresh(w); // contents wider than some columns, for the auto-size
        const QList<int> before = columnWidths(w);

        QHeaderView *header = list(w)->header();
        const QPoint divider(header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                             header->height() / 2);
        if (doubleClick)
            UserInput::doubleClick(header->viewport(), divider);
        else
            UserInput::drag(header->viewport(), divider, divider + QPoint(5, 0), 5); // stays in the window
        QCOMPARE(columnWidths(w), before);
        QVERIFY(list(w)->isColumnHidden(HotListModel::LinkColumn));
    }

    void refreshListsAndDoubleClickChoosesARow()
    {
        HotListWindow w(config());
        open(w);
        clickRefresh(w);
        const QList<HotEntry> rows = shownRows(w);
        QCOMPARE(rows, hotRowsOf(homePageHtml(), m_service.hostAndPort()));
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows.at(i).number, QString::number(i + 1));

        QSignalSpy chosen(&w, &HotListWindow::soundChosen);
        UserInput::doubleClickRow(list(w), 2);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toString(), rows.at(2).link);
        // The list window stays as it was.
        QVERIFY(w.isVisible());
        QCOMPARE(list(w)->selectionModel()->selectedRows(), QModelIndexList{list(w)->model()->index(2, 0)});
    }

    // Enter hands a row on as a double-click does; the row Tab and the
    // arrows left current counts even when it is not selected.
    void enterChoosesARow_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("selected");
        QTest::newRow("return, selected row") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
        QTest::newRow("keypad enter, current row")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << false;
    }

    void enterChoosesARow()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, selected);

        HotListWindow w(config());
        open(w);
        clickRefresh(w);
        const QModelIndex row = list(w)->model()->index(4, 0);
        list(w)->selectionModel()->setCurrentIndex(row, selected ? QItemSelectionModel::ClearAndSelect |
                                                                       QItemSelectionModel::Rows
                                                                 : QItemSelectionModel::NoUpdate);
        QSignalSpy chosen(&w, &HotListWindow::soundChosen);
        QTest::keyClick(list(w), Qt::Key(key), modifiers);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toString(), shownRows(w).at(4).link);
    }

    void escapeCloses()
    {
        HotListWindow w(config());
        open(w);
        clickRefresh(w);
        QTest::keyClick(list(w), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(!w.isLoaded());
        QCOMPARE(rowCount(w), 0);
    }

    // With the default skin, Tab goes refresh, list, close link, each named
    // and marked while it has the focus.
    void keyboardAndScreenReaderReach()
    {
        qApp->setStyleSheet(readSkin(defaultSkinPath()));
        const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        HotListWindow w(config());
        showRefreshed(w);

        QWidget *refresh = w.findChild<QWidget *>(QStringLiteral("refreshButton"));
        refresh->setFocus();
        QCOMPARE(tabRound(), QStringList({"refreshButton", "hotListView", "playAllButton",
                                          "downloadAllButton", "closeLink"}));
        UserInput::clickRow(list(w), 0);
        refresh->setFocus();
        QCOMPARE(tabRound(), QStringList({"refreshButton", "hotListView", "playAllButton",
                                          "downloadAllButton", "downloadSelectedButton", "closeLink"}));
        QCOMPARE(unnamedControls(&w), QStringList());
    }

    // Ctrl and Shift with the mouse, Shift with the arrows and Ctrl+A select
    // several rows; "下载所选" hands on exactly those, in list order, and
    // "全部下载" every row whatever is selected. Steps: cN click row N, CN
    // Ctrl+click, SN Shift+click, v Shift+Down, a Ctrl+A.
    void downloadButtonsHandOnRows_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QList<int>>("rows");
        QList<int> every;
        for (int i = 0; i < HotEntryCount; ++i)
            every.append(i);
        QTest::newRow("ctrl+clicks") << QStringList{"c5", "C1", "C9", "C5"} << false << QList<int>{1, 9};
        QTest::newRow("shift+click") << QStringList{"c6", "S3"} << false << QList<int>{3, 4, 5, 6};
        QTest::newRow("shift+down") << QStringList{"c2", "v", "v"} << false << QList<int>{2, 3, 4};
        QTest::newRow("ctrl+a") << QStringList{"c2", "a"} << false << every;
        QTest::newRow("all, one selected") << QStringList{"c7"} << true << every;
        QTest::newRow("all, none selected") << QStringList{} << true << every;
    }

    void downloadButtonsHandOnRows()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, all);
        QFETCH(QList<int>, rows);
        HotListWindow w(config());
        showRefreshed(w);
        for (const QString &step : steps) {
            const QChar kind = step.at(0);
            if (kind == u'v')
                QTest::keyClick(list(w), Qt::Key_Down, Qt::ShiftModifier);
            else if (kind == u'a')
                QTest::keyClick(list(w), Qt::Key_A, Qt::ControlModifier);
            else
                UserInput::clickRow(list(w), step.mid(1).toInt(), Qt::LeftButton,
                                    kind == u'C'   ? Qt::ControlModifier
                                    : kind == u'S' ? Qt::ShiftModifier
                                                   : Qt::NoModifier);
        }
        QSignalSpy requested(&w, &HotListWindow::downloadRequested);
        UserInput::click(all ? allButton(w) : selectedButton(w));
        QCOMPARE(requested.size(), 1);
        QList<HotEntry> expected;
        for (const int row : rows)
            expected.append(shownRows(w).at(row));
        QCOMPARE(requested.first().first().value<QList<HotEntry>>(), expected);
    }

    // "全部下载" wants rows, "下载所选" a selection; both wait while busy.
    void downloadButtonsEnabled()
    {
        HotListWindow w(config());
        open(w);
        const auto enabled = [&w] {
            return QList<bool>{allButton(w)->isEnabled(), selectedButton(w)->isEnabled()};
        };
        QCOMPARE(enabled(), QList<bool>({false, false}));
        clickRefresh(w);
        QCOMPARE(enabled(), QList<bool>({true, false}));
        UserInput::clickRow(list(w), 3);
        QCOMPARE(enabled(), QList<bool>({true, true}));
        w.setDownloadBusy(true);
        QCOMPARE(enabled(), QList<bool>({false, false}));
        w.setDownloadBusy(false);
        QCOMPARE(enabled(), QList<bool>({true, true}));
        clickRefresh(w); // a new list drops the selection
        QCOMPARE(enabled(), QList<bool>({true, false}));
        UserInput::click(closeLink(w));
        w.showHotList();
        QCOMPARE(enabled(), QList<bool>({false, false}));
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
        HotListWindow w(config());
        QSignalSpy chosen(&w, &HotListWindow::soundChosen);
        open(w);
        if (reopened) {
            clickRefresh(w);
            UserInput::click(closeLink(w));
            open(w);
        }
        BoxCloser closer;
        UserInput::doubleClick(list(w)->viewport(), QPoint(100, 100));
        QCOMPARE(closer.boxes.size(), 1);
        QCOMPARE(closer.boxes.first().title, QStringLiteral("Quorlen软件"));
        QCOMPARE(closer.boxes.first().text, QStringLiteral("音乐列表为空"));
        QCOMPARE(closer.boxes.first().icon, QMessageBox::Information);
        QCOMPARE(chosen.size(), 0);
    }

    void closeKeepsWhatCarriesOverAndReopenLoadsAgain()
    {
        HotListWindow w(config());
        QSignalSpy loads(&w, &HotListWindow::loaded);
        open(w);
        w.showHotList(); // already open: brought forward, not loaded again
        QCOMPARE(loads.size(), 1);
        clickRefresh(w);
        const QList<HotEntry> first = shownRows(w);

        UserInput::click(closeLink(w));
        QVERIFY(!w.isVisible());
        QCOMPARE(rowCount(w), 0);
        open(w);
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

        HotListWindow w(config());
        open(w);
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
        HotListWindow w(config());
        open(w);
        QSignalSpy ended(&w, &HotListWindow::refreshEnded);
        m_service.closeGate("/");
        startRefresh(w);
        QTRY_COMPARE(m_service.heldAtGate("/"), 1);
        UserInput::click(closeLink(w));
        m_service.openGate("/");
        QVERIFY(ended.wait());
        QVERIFY(!w.isVisible());
        QVERIFY(!w.isLoaded());
        QCOMPARE(rowCount(w), 0);

        open(w);
        m_service.setHomePageBody(hotTestPage(QStringLiteral("unclosed")));
        clickRefresh(w);
        QCOMPARE(shownRows(w), repeated(hotRowsOf(homePageHtml(), m_service.hostAndPort()).last()));
    }

    // Deleting the window while its refresh waits ends the request with it.
    void deletedDuringRefresh()
    {
        auto w = std::make_unique<HotListWindow>(config());
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
        HotListWindow w(config());
        open(w);
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

    // Each refresh is recorded, and the list shows how its rows moved since the one before.
    void refreshesAreCharted()
    {
        QTemporaryDir dir;
        DownloadHistory history(dir.filePath(QStringLiteral("history.sqlite")));
        HotListWindow w(config());
        w.setHistory(&history);
        open(w);
        m_service.setHomePageBody(hotTestPage(QStringLiteral("short"))); // 1001, 1002, then 1003 to the end
        clickRefresh(w);
        m_service.setHomePageBody(homePageHtml());
        clickRefresh(w);
        const auto cell = [&](int row, int role) {
            return list(w)->model()->index(row, HotListModel::MoveColumn).data(role).toString();
        };
        // Rows 1 and 4 hold the sounds 1001 and 1004; row 9, 1003 again.
        for (const auto &[row, text, tip, description] :
             {std::tuple(0, "", "上次第 1 名（", "排名不变"), std::tuple(3, "新", "上次不在榜上", "新上榜"),
              std::tuple(8, "↓6", "上次第 3 名（", "下降 6 位")}) {
            QCOMPARE(cell(row, Qt::DisplayRole), QString::fromUtf8(text));
            QVERIFY2(cell(row, Qt::ToolTipRole).startsWith(QString::fromUtf8(tip)),
                     qPrintable(cell(row, Qt::ToolTipRole)));
            QCOMPARE(cell(row, Qt::AccessibleDescriptionRole), QString::fromUtf8(description));
        }
        QVERIFY(history.flush());
        QCOMPARE(history.hotRefreshes().size(), 2);
    }
};

QTEST_MAIN(HotListWindowTest)
#include "hot_list_window_test.moc"
