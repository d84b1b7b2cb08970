#pragma once

#include "hotlist/hot_list_scraper.h"
#include "services/http_text_fetch.h"
#include "services/service_config.h"

#include <QAbstractTableModel>
#include <QLabel>
#include <QLine>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QTreeView>
#include <QWidget>

#include <memory>

class DragHandle;
class MainWindow;
class TitleLink;

// Keeps the user from changing the list's column widths: no divider drag, no
// auto-size on a divider double-click, so the zero-width link column stays
// hidden. Installed on the header's viewport by InstallHeaderLock.
class HeaderLockProc : public QObject
{
    Q_OBJECT

public:
    explicit HeaderLockProc(QHeaderView *header);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool onDivider(const QPoint &position) const;

    QHeaderView *m_header;
};

// Fixes every column of list at its current width and installs the lock;
// installing it again on the same list changes nothing.
void InstallHeaderLock(QTreeView *list);

// A picture that reports a click (press and release on it).
class ClickImage : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

// The rows the hot list shows, one entry a row, its fields in column order.
class HotListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setEntries(QList<HotEntry> entries);
    const QList<HotEntry> &entries() const { return m_entries; }

private:
    QList<HotEntry> m_entries;
};

// The hot list (ListView1): a double-click anywhere in it, on a row or not,
// is reported.
class HotListView : public QTreeView
{
    Q_OBJECT

public:
    using QTreeView::QTreeView;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The hot-list window. The object lives as long as the program and
// keeps the scraper, whose carried-over values outlive every refresh;
// closing it only unloads its on-screen part: the window hides and its rows
// go; the controls stay for the next showing.
class HotListWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 624;
    static constexpr int ClientHeight = 408;

    HotListWindow(const ServiceConfig &config, MainWindow *mainWindow, const FetchOptions &fetchOptions = {},
                  QWidget *parent = nullptr);
    ~HotListWindow() override;

    // Loads the window when it is not loaded (border, no icon, header lock;
    // an empty list), centres and shows it; otherwise brings it to the front.
    void showHotList();
    // The close link: hides the window and drops its rows and selection.
    void unload();
    bool isLoaded() const { return m_loaded; }

    // Fetches the home page and lists its fifteen entries; when the fetch
    // fails or the page holds no entry, the list stays as it was and a
    // warning says why. refreshEnded() follows; a newer refresh replaces
    // one still waiting.
    void refresh();
    // Hands the selected row to the main window's analysis and brings that
    // window forward.
    void handOff();
    void 绘制边框();

    QList<QLine> borderLines() const { return m_borderLines; }

signals:
    // The load steps ran.
    void loaded();
    // A refresh ran to its end (also when the window was closed meanwhile).
    void refreshEnded();
    void dragRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void onRefreshed(const HotRefresh &result);
    void buildControls();
    void startDrag();
    void onTitleLinkHovered(int index);
    void onTitleLinkReleased(int index);

    ServiceConfig m_config;
    FetchOptions m_fetchOptions;
    QPointer<MainWindow> m_mainWindow;
    HotListScraper m_scraper;

    bool m_loaded = false;
    QPixmap m_background;
    QList<QLine> m_borderLines;

    ClickImage *m_refreshImage = nullptr; // aicAlphaImage2
    HotListRefresh *m_refresh = nullptr;  // the refresh waiting for its page
    DragHandle *m_logo = nullptr;         // aicAlphaImage1
    TitleLink *m_closeLink = nullptr;     // Label2(2)
    QLabel *m_panel = nullptr;            // Image2
    HotListView *m_list = nullptr;        // ListView1
    HotListModel *m_rows = nullptr;
};

// Lets the main window's hot-picks link show the hot list: the window is made
// on the first click and kept in holder, which must outlive neither main nor
// the event loop; later clicks show the same window again.
void connectHotListLink(MainWindow &main, const ServiceConfig &config,
                        std::unique_ptr<HotListWindow> &holder);
