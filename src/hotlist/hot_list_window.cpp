// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hotlist/hot_list_window.h"

#include "library/download_history.h"
#include "shell/message_boxes.h"
#include "shell/window_chrome.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

QString emptyListText()
{
    return HotListWindow::tr("音乐列表为空");
}
QString fetchFailedText()
{
    return HotListWindow::tr("网络连接失败，请稍后再试..");
}
QString noEntriesText()
{
    return HotListWindow::tr("未能获取热榜信息，请稍后再试..");
}

constexpr int Width = 624;
constexpr int ListTop = 112;
constexpr int ListBottomMargin = 7;
constexpr int PanelTop = 102;
constexpr int HeaderPadding = 12;
// The download buttons sit in the banner's lower right corner, under the title.
constexpr int ButtonTop = 84;
constexpr int ButtonHeight = 18;
constexpr int ButtonMinWidth = 80;
constexpr int ButtonGap = 8;
constexpr int ButtonRight = 616;

} // namespace

HotListWindow::HotListWindow(const ServiceConfig &config, const FetchOptions &fetchOptions, QWidget *parent)
    : FramelessWindow(TopEdge::Lined, parent)
    , m_fetchOptions(fetchOptions)
    , m_scraper(config.webHost)
{
    setObjectName(QStringLiteral("hotListWindow"));
    setWindowTitle(tr("Vexa热榜"));
    setFixedSize(Width, ListTop); // the height follows the list's
    // Shown without an owner; the program still ends with the main window.
    setAttribute(Qt::WA_QuitOnClose, false);

    // First, so that it lies under the list.
    m_panel = addPanel(PanelTop, 1);

    auto *refreshButton = new ClickablePicture(this);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    refreshButton->setPixmap(QPixmap(QStringLiteral(":/pictures/refresh.png")));
    refreshButton->setScaledContents(true);
    refreshButton->setGeometry(16, 16, 24, 24);
    refreshButton->setToolTip(tr("获取热门音乐"));
    refreshButton->setCursor(handCursor());
    connect(refreshButton, &ClickablePicture::clicked, this, &HotListWindow::refresh);
    refreshButton->setAccessibleDescription(tr("从官方网站获取最新的热门音乐列表"));

    addTitledLogo({200, 24}, windowTitle());
    m_closeLink = addTitleLink(QStringLiteral("closeLink"), QStringLiteral("x"), {592, 8, 19, 27},
                               captionGlyphFont(12), tr("关闭"));
    connect(m_closeLink, &TitleLink::released, this, &HotListWindow::unload);

    buildList();
    buildDownloadButtons();
    fitListToRows();
    setTabChain({refreshButton, m_list, m_playAllButton, m_downloadAllButton, m_downloadSelectedButton});
}

HotListWindow::~HotListWindow() = default;

void HotListWindow::buildList()
{
    m_list = new HotListView(this);
    m_list->setObjectName(QStringLiteral("hotListView"));
    m_list->setGeometry(8, ListTop, 609, 0);
    m_list->setFont(uiFont(9));
    m_list->setCursor(handCursor());
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSortingEnabled(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows = new HotListModel(m_list);
    m_list->setModel(m_rows);

    // Fixed sections ignore a divider drag and a divider double-click, so the
    // user cannot change the widths or bring the hidden link column back.
    QHeaderView *header = m_list->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Fixed);
    // The name takes the room the others leave, so the header has no bare end.
    header->setSectionResizeMode(HotListModel::NameColumn, QHeaderView::Stretch);
    // A translated header wider than its column widens the column.
    const QFontMetrics metrics = header->fontMetrics();
    for (int i = 0; i < int(HotListModel::columns().size()); ++i) {
        const int fitting = metrics.horizontalAdvance(tr(HotListModel::columns()[i].header)) + HeaderPadding;
        m_list->setColumnWidth(
            i, i == HotListModel::LinkColumn ? 0 : std::max(HotListModel::columns()[i].width, fitting));
    }
    m_list->setColumnHidden(HotListModel::LinkColumn, true);
    connect(m_list, &HotListView::doubleClickedAnywhere, this, &HotListWindow::chooseSelectedSound);
    connect(m_list, &HotListView::enterPressed, this, &HotListWindow::chooseSelectedSound);
    m_list->setAccessibleName(tr("热门音乐列表"));
    m_list->setAccessibleDescription(tr("双击或按回车键分析选中的音乐"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &HotListWindow::showRowMenu);
}

void HotListWindow::buildDownloadButtons()
{
    m_downloadAllButton = new QPushButton(tr("全部下载"), this);
    m_downloadAllButton->setObjectName(QStringLiteral("downloadAllButton"));
    m_downloadAllButton->setAccessibleDescription(tr("下载热榜上的全部音乐"));
    connect(m_downloadAllButton, &QPushButton::clicked, this, &HotListWindow::downloadAll);
    m_downloadSelectedButton = new QPushButton(tr("下载所选"), this);
    m_downloadSelectedButton->setObjectName(QStringLiteral("downloadSelectedButton"));
    m_downloadSelectedButton->setAccessibleDescription(tr("下载热榜上选中的音乐"));
    connect(m_downloadSelectedButton, &QPushButton::clicked, this, &HotListWindow::downloadSelected);
    // Playing sits with the downloads: both take the whole list.
    m_playAllButton = new QPushButton(tr("播放全部"), this);
    m_playAllButton->setObjectName(QStringLiteral("playAllButton"));
    m_playAllButton->setAccessibleDescription(tr("从第一首起依次播放热榜上的音乐"));
    connect(m_playAllButton, &QPushButton::clicked, this, &HotListWindow::playAll);
    for (QPushButton *button : {m_playAllButton, m_downloadAllButton, m_downloadSelectedButton}) {
        button->setFont(uiFont(9));
        button->setCursor(handCursor());
        button->setAutoDefault(true); // Enter presses it once Tab has reached it
    }
    // A model reset clears the selection without telling.
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &HotListWindow::updateDownloadButtons);
    connect(m_rows, &QAbstractItemModel::modelReset, this, &HotListWindow::updateDownloadButtons);
    updateDownloadButtons();
}

void HotListWindow::updateDownloadButtons()
{
    m_downloadAllButton->setEnabled(!m_downloadBusy && m_rows->rowCount() > 0);
    m_playAllButton->setEnabled(m_rows->rowCount() > 0);
    m_downloadSelectedButton->setEnabled(!m_downloadBusy && m_list->selectionModel()->hasSelection());
}

// Every row shows whole with no scroll bar, whatever height the font and
// the skin give the header and the rows; the window grows to hold the list.
void HotListWindow::fitListToRows()
{
    m_list->ensurePolished();
    m_list->header()->ensurePolished();
    const int listHeight = 2 * m_list->frameWidth() + m_list->header()->sizeHint().height() +
                           HotEntryCount * m_list->uniformRowHeight();
    m_list->resize(m_list->width(), listHeight);
    setFixedSize(Width, ListTop + listHeight + ListBottomMargin);
    // Right-aligned, each as wide as its translated text needs.
    int right = ButtonRight;
    for (QPushButton *button : {m_downloadSelectedButton, m_downloadAllButton, m_playAllButton}) {
        button->ensurePolished();
        const int width = std::max(ButtonMinWidth, button->sizeHint().width());
        button->setGeometry(right - width, ButtonTop, width, ButtonHeight);
        right -= width + ButtonGap;
    }
    // Down to the bottom border line, one row above the edge.
    m_panel->resize(m_panel->width(), height() - PanelTop - 1);
}

void HotListWindow::showHotList()
{
    if (m_loaded) {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
        return;
    }
    setWindowIcon(QIcon());
    m_loaded = true;
    resetTitleLinks();
    fitListToRows(); // the skin may have come since
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    emit loaded();
    show();
}

void HotListWindow::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    hide();
    m_rows->setEntries({});
    m_list->scrollToTop();
    emit unloaded();
}

void HotListWindow::refresh()
{
    // A newer refresh replaces one still waiting, which then takes no page.
    delete m_refresh;
    m_refresh = new HotListRefresh(m_scraper, m_fetchOptions, this);
    connect(m_refresh, &HotListRefresh::finished, this, &HotListWindow::onRefreshed);
    m_refresh->start();
}

void HotListWindow::onRefreshed(const HotRefresh &result)
{
    m_refresh->deleteLater(); // from inside its own signal
    m_refresh = nullptr;
    // Recorded even when closed meanwhile: the list did move.
    std::optional<HotChartRefresh> previous;
    if (result && m_history)
        previous = m_history->recordHotRefresh(hotChartRefresh(*result));
    // Closed meanwhile: the scraper has taken the page, but the user no
    // longer looks at the list, so nothing is shown.
    if (m_loaded) {
        if (result)
            m_rows->setEntries(*result, previous);
        else if (result.error().reason == HotListProblem::FetchFailed)
            showMessage(this, MessageKind::Warning, fetchFailedText());
        else
            showMessage(this, MessageKind::Warning, noEntriesText());
    }
    emit refreshEnded();
}

void HotListWindow::chooseSelectedSound()
{
    const QItemSelectionModel *selection = m_list->selectionModel();
    const QModelIndexList selected = selection->selectedRows();
    if (selected.isEmpty()) {
        showMessage(this, MessageKind::Information, emptyListText());
        return;
    }
    // The row clicked last, or else the topmost selected.
    const QModelIndex current = m_list->currentIndex();
    const int row = current.isValid() && selection->isRowSelected(current.row())
                        ? current.row()
                        : std::min_element(selected.begin(), selected.end())->row();
    emit soundChosen(m_rows->entries().at(row).link);
}

void HotListWindow::downloadAll()
{
    if (!m_rows->entries().isEmpty())
        emit downloadRequested(m_rows->entries());
}

void HotListWindow::downloadSelected()
{
    QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    std::sort(selected.begin(), selected.end());
    QList<HotEntry> rows;
    for (const QModelIndex &index : std::as_const(selected))
        rows.append(m_rows->entries().at(index.row()));
    emit downloadRequested(rows);
}

void HotListWindow::playAll()
{
    playFrom(0);
}

void HotListWindow::playFrom(int row)
{
    if (row >= 0 && row < m_rows->entries().size())
        emit playRequested(m_rows->entries(), row);
}

void HotListWindow::showRowMenu(const QPoint &position)
{
    const QModelIndex index = m_list->indexAt(position);
    if (!index.isValid())
        return;
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("hotListRowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *playHere = menu->addAction(tr("从这里播放"));
    playHere->setObjectName(QStringLiteral("playFromHereAction"));
    const int row = index.row();
    connect(playHere, &QAction::triggered, this, [this, row] { playFrom(row); });
    menu->popup(m_list->viewport()->mapToGlobal(position));
}

void HotListWindow::setDownloadBusy(bool busy)
{
    m_downloadBusy = busy;
    updateDownloadButtons();
}

void HotListWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape) {
        FramelessWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    unload(); // as the close link does
}

void HotListWindow::closeEvent(QCloseEvent *event)
{
    // Closed by the desktop rather than the link: unloaded all the same.
    unload();
    FramelessWindow::closeEvent(event);
}
