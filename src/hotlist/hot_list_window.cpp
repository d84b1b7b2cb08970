#include "hotlist/hot_list_window.h"

#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/window_chrome.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace {

const QString EmptyListText = QStringLiteral("音乐列表为空");
const QString FetchFailedText = QStringLiteral("网络连接失败，请稍后再试..");
const QString NoEntriesText = QStringLiteral("未能获取热榜信息，请稍后再试..");

constexpr int CloseLink = 2;
constexpr int LinkColumn = 6;

struct ColumnDesign
{
    QString header;
    int width;
};

// Widths in pixels of the designed twips (800, 2500, 2000, 800, 800, 800, 0).
const ColumnDesign Columns[] = {
    {QStringLiteral("ID"), 53},   {QStringLiteral("音乐名称"), 167}, {QStringLiteral("频道"), 133},
    {QStringLiteral("分享"), 53}, {QStringLiteral("喜欢"), 53},      {QStringLiteral("评论"), 53},
    {QStringLiteral("链接"), 0},
};

QFont closeLinkFont()
{
    QFont font(QStringLiteral("Consolas"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(12);
    return font;
}

} // namespace

HeaderLockProc::HeaderLockProc(QHeaderView *header)
    : QObject(header)
    , m_header(header)
{
    setObjectName(QStringLiteral("HeaderLockProc"));
}

bool HeaderLockProc::onDivider(const QPoint &position) const
{
    const int margin = m_header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, m_header) + 1;
    for (int visual = 0; visual < m_header->count(); ++visual) {
        const int logical = m_header->logicalIndex(visual);
        if (m_header->isSectionHidden(logical))
            continue;
        const int edge = m_header->sectionViewportPosition(logical) + m_header->sectionSize(logical);
        if (std::abs(position.x() - edge) <= margin)
            return true;
    }
    return false;
}

bool HeaderLockProc::eventFilter(QObject *watched, QEvent *event)
{
    // Fixed sections already refuse both; swallowing the presses on a
    // divider keeps that so whatever mode a section is later given.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (onDivider(mouse->position().toPoint()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void InstallHeaderLock(QTreeView *list)
{
    QHeaderView *header = list->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setCascadingSectionResizes(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    if (!header->viewport()->findChild<HeaderLockProc *>(QString(), Qt::FindDirectChildrenOnly)) {
        auto *lock = new HeaderLockProc(header);
        lock->setParent(header->viewport());
        header->viewport()->installEventFilter(lock);
    }
}

void ClickImage::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    event->accept();
}

void ClickImage::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}

int HotListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int HotListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : HotEntry::FieldCount;
}

QVariant HotListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return m_entries.at(index.row()).field(index.column());
}

QVariant HotListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= int(std::size(Columns)))
        return {};
    return Columns[section].header;
}

void HotListModel::setEntries(QList<HotEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void HotListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    event->accept();
    emit doubleClicked();
}

HotListWindow::HotListWindow(const ServiceConfig &config, MainWindow *mainWindow,
                             const FetchOptions &fetchOptions, QWidget *parent)
    : QWidget(parent)
    , m_config(config)
    , m_fetchOptions(fetchOptions)
    , m_mainWindow(mainWindow)
    , m_scraper(config.webHost)
    , m_background(QStringLiteral(":/pictures/background.png"))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Vexa热榜"));
    setBorderlessStyle(this);
    setFixedSize(ClientWidth, ClientHeight);
    // Shown without an owner; the program still ends with the main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    setMouseTracking(true);
    buildControls();
}

HotListWindow::~HotListWindow() = default;

void HotListWindow::buildControls()
{
    // First, so that it lies under the list.
    m_panel = new QLabel(this);
    m_panel->setObjectName(QStringLiteral("Image2"));
    m_panel->setPixmap(QPixmap(QStringLiteral(":/pictures/panel.png")));
    m_panel->setScaledContents(true);
    m_panel->setGeometry(0, 102, 625, 305);

    m_refreshImage = new ClickImage(this);
    m_refreshImage->setObjectName(QStringLiteral("aicAlphaImage2"));
    m_refreshImage->setPixmap(QPixmap(QStringLiteral(":/pictures/refresh.png")));
    m_refreshImage->setScaledContents(true);
    m_refreshImage->setGeometry(16, 16, 24, 24);
    m_refreshImage->setToolTip(QStringLiteral("获取热门音乐"));
    m_refreshImage->setCursor(handCursor());
    connect(m_refreshImage, &ClickImage::clicked, this, &HotListWindow::refresh);

    m_logo = new DragHandle(this);
    m_logo->setObjectName(QStringLiteral("aicAlphaImage1"));
    m_logo->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.png")));
    m_logo->setGeometry(200, 24, 210, 60);
    connect(m_logo, &DragHandle::dragRequested, this, &HotListWindow::startDrag);

    m_closeLink = new TitleLink(CloseLink, QStringLiteral("x"), this);
    m_closeLink->setObjectName(QStringLiteral("Label2_%1").arg(CloseLink));
    m_closeLink->setProperty("index", CloseLink);
    m_closeLink->setGeometry(592, 8, 19, 27);
    m_closeLink->setFont(closeLinkFont());
    m_closeLink->setToolTip(QStringLiteral("关闭"));
    connect(m_closeLink, &TitleLink::hovered, this, &HotListWindow::onTitleLinkHovered);
    connect(m_closeLink, &TitleLink::released, this, &HotListWindow::onTitleLinkReleased);

    m_list = new HotListView(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setGeometry(8, 112, 609, 289);
    m_list->setFont(uiFont(9));
    m_list->setCursor(handCursor());
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSortingEnabled(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows = new HotListModel(m_list);
    m_list->setModel(m_rows);
    m_list->header()->setMinimumSectionSize(0);
    m_list->header()->setSectionsClickable(false);
    for (int i = 0; i < int(std::size(Columns)); ++i)
        m_list->setColumnWidth(i, Columns[i].width);
    m_list->setColumnHidden(LinkColumn, true);
    connect(m_list, &HotListView::doubleClicked, this, &HotListWindow::handOff);
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
    绘制边框();
    setWindowIcon(QIcon());
    InstallHeaderLock(m_list);
    m_loaded = true;
    m_closeLink->setTextColor(TitleLinkNormal);
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
}

void HotListWindow::绘制边框()
{
    const QSize client(ClientWidth, ClientHeight);
    const PanelSpan span = insetPanelSpan(client);
    m_panel->setGeometry(span.left, m_panel->y(), span.width, m_panel->height());
    m_borderLines = hotListBorderLines(client);
    update();
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
    // Closed meanwhile: the scraper has taken the page, but the user no
    // longer looks at the list, so nothing is shown.
    if (m_loaded) {
        switch (result.outcome) {
        case HotRefresh::Outcome::Listed:
            m_rows->setEntries(result.entries);
            break;
        case HotRefresh::Outcome::FetchFailed:
            showMessage(this, MessageKind::Warning, FetchFailedText);
            break;
        case HotRefresh::Outcome::NoEntries:
            showMessage(this, MessageKind::Warning, NoEntriesText);
            break;
        }
    }
    emit refreshEnded();
}

void HotListWindow::handOff()
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        showMessage(this, MessageKind::Information, EmptyListText);
        return;
    }
    const QString link = m_rows->entries().at(selected.first().row()).link;
    // With the main window gone (only possible outside the program's own
    // start-up) there is nobody to hand to.
    MainWindow *main = m_mainWindow;
    if (!main)
        return;
    main->setAddressText(link);
    if (main->isMinimized())
        main->showNormal();
    main->raise();
    main->activateWindow();
    main->hqyy();
}

void HotListWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    paintBorderLines(painter, m_borderLines);
}

void HotListWindow::mousePressEvent(QMouseEvent *event)
{
    if (childAt(event->position().toPoint()) == nullptr)
        startDrag();
    event->accept();
}

void HotListWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (childAt(event->position().toPoint()) == nullptr)
        m_closeLink->setTextColor(TitleLinkNormal);
    event->accept();
}

void HotListWindow::closeEvent(QCloseEvent *event)
{
    // Closed by the desktop rather than the link: unloaded all the same.
    unload();
    QWidget::closeEvent(event);
}

void HotListWindow::startDrag()
{
    emit dragRequested();
    dragWindow(this);
}

void HotListWindow::onTitleLinkHovered(int index)
{
    m_closeLink->setTextColor(TitleLinkNormal);
    if (index == CloseLink)
        m_closeLink->setTextColor(TitleLinkHighlight);
}

void HotListWindow::onTitleLinkReleased(int index)
{
    if (index == CloseLink)
        unload();
}

void connectHotListLink(MainWindow &main, const ServiceConfig &config, std::unique_ptr<HotListWindow> &holder)
{
    QObject::connect(&main, &MainWindow::hotListRequested, &main, [&main, config, &holder] {
        if (!holder)
            holder = std::make_unique<HotListWindow>(config, &main);
        holder->showHotList();
    });
}
