#pragma once

#include "hotlist/hot_scrape.h"
#include "services/http_text_fetch.h"
#include "services/service_config.h"

#include <QHash>
#include <QLabel>
#include <QLine>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QTreeWidget>
#include <QWidget>

#include <memory>

class DragHandle;
class MainWindow;
class QTreeWidgetItem;
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

// The hot list (ListView1): a double-click anywhere in it, on a row or not,
// is reported.
class HotListView : public QTreeWidget
{
    Q_OBJECT

public:
    using QTreeWidget::QTreeWidget;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The hot-list window (Form3). The object lives as long as the program and
// keeps the refresh's slots; closing it only unloads its on-screen part:
// the window hides and its rows go. The controls themselves stay, because a
// refresh or hand-off waiting for the network may have their handlers on the
// stack.
class HotListWindow : public QWidget, private HotRowSink
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

    // Fetches the home page and writes its fifteen rows. Returns when done.
    void RefreshHotList();
    // Hands the selected row to the main window's analysis.
    void handOff();
    void 绘制边框();

    const HotScrapeSlots &scrapeSlots() const { return m_scrape; }
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
    void buildControls();
    void startDrag();
    void onTitleLinkHovered(int index);
    void onTitleLinkReleased(int index);

    // The list operations of the refresh; all fail while unloaded.
    bool removeAllRows() override;
    std::optional<HotRowId> addRow() override;
    std::optional<int> rowCount() const override;
    bool setRowText(HotRowId row, int column, const QString &text) override;

    ServiceConfig m_config;
    FetchOptions m_fetchOptions;
    QPointer<MainWindow> m_mainWindow;
    HotScrapeSlots m_scrape;

    bool m_loaded = false;
    QPixmap m_background;
    QList<QLine> m_borderLines;
    QHash<HotRowId, QTreeWidgetItem *> m_rows;
    HotRowId m_nextRowId = 1;

    ClickImage *m_refreshImage = nullptr; // aicAlphaImage2
    DragHandle *m_logo = nullptr;         // aicAlphaImage1
    TitleLink *m_closeLink = nullptr;     // Label2(2)
    QLabel *m_panel = nullptr;            // Image2
    HotListView *m_list = nullptr;        // ListView1
};

// Lets the main window's hot-picks link show the hot list: the window is made
// on the first click and kept in holder, which must outlive neither main nor
// the event loop; later clicks show the same window again.
void ConnectHotListLink(MainWindow &main, const ServiceConfig &config,
                        std::unique_ptr<HotListWindow> &holder);
