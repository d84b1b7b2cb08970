// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/downloads_window.h"

#include "queue/download_queue.h"
#include "shell/downloads_model.h"
#include "shell/message_boxes.h"
#include "shell/stored_picture.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QUrl>

namespace {

// The progress column as a bar, busy-free: an unknown size shows empty.
class ProgressDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int percent = index.data(DownloadsModel::PercentRole).toInt();
        QStyleOptionProgressBar bar;
        bar.rect = option.rect.adjusted(2, 3, -2, -3);
        bar.state = option.state | QStyle::State_Horizontal;
        bar.minimum = 0;
        bar.maximum = 100;
        bar.progress = std::max(percent, 0);
        bar.text = index.data().toString();
        bar.textVisible = true;
        bar.textAlignment = Qt::AlignCenter;
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
    }
};

bool isActive(DownloadState state)
{
    return state == DownloadState::Queued || state == DownloadState::Running;
}

// Where an entry's file is, or is to be.
QString folderOf(const DownloadEntry &entry)
{
    if (entry.state == DownloadState::Done && !entry.savedPath.isEmpty())
        return QFileInfo(entry.savedPath).absolutePath();
    return entry.folder;
}

} // namespace

DownloadsWindow::DownloadsWindow(DownloadQueue &queue, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_queue(queue)
    , m_model(new DownloadsModel(queue, this))
    , m_view(new QTableView(this))
    , m_opener([](const QUrl &url) { return QDesktopServices::openUrl(url); })
    , m_problem(new QLabel(this))
{
    setObjectName(QStringLiteral("downloadsWindow"));
    setWindowTitle(tr("下载列表"));
    setWindowIcon(QIcon(storedPicture(QStringLiteral("icon"))));
    resize(860, 420);

    m_pause = makeAction("pauseAction", tr("暂停"), tr("暂停所选的下载，保留已下载的部分"));
    m_resume = makeAction("resumeAction", tr("继续"), tr("从暂停处继续所选的下载"));
    m_cancel = makeAction("cancelAction", tr("取消"), tr("取消所选的下载，删除未完成的部分"));
    m_retry = makeAction("retryAction", tr("重试"), tr("重新开始所选的失败或已取消的下载"));
    m_open = makeAction("openAction", tr("打开"), tr("打开所选的已下载文件"));
    m_openFolder = makeAction("openFolderAction", tr("打开文件夹"), tr("打开所选下载所在的文件夹"));
    m_remove = makeAction("removeAction", tr("移除"), tr("从列表中移除所选的下载"));
    m_resumeAll = makeAction("resumeAllAction", tr("全部继续"), tr("继续所有已暂停的下载"));
    connect(m_pause, &QAction::triggered, this, &DownloadsWindow::pauseSelected);
    connect(m_resume, &QAction::triggered, this, &DownloadsWindow::resumeSelected);
    connect(m_cancel, &QAction::triggered, this, &DownloadsWindow::cancelSelected);
    connect(m_retry, &QAction::triggered, this, &DownloadsWindow::retrySelected);
    connect(m_open, &QAction::triggered, this, &DownloadsWindow::openSelected);
    connect(m_openFolder, &QAction::triggered, this, &DownloadsWindow::openSelectedFolders);
    connect(m_remove, &QAction::triggered, this, &DownloadsWindow::removeSelected);
    connect(m_resumeAll, &QAction::triggered, this, &DownloadsWindow::resumeAll);
    m_remove->setShortcut(QKeySequence::Delete);
    m_remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(m_remove);
    // The Menu key opens the menu by itself; many keyboards have none.
    auto *menuKey = new QAction(this);
    menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    menuKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QAction::triggered, this, &DownloadsWindow::showMenuAtCurrentRow);
    addAction(menuKey);

    auto *buttons = new QHBoxLayout;
    for (QAction *action : {m_pause, m_resume, m_cancel, m_retry, m_open, m_openFolder, m_remove}) {
        auto *button = new QToolButton(this);
        button->setObjectName(action->objectName().replace(QLatin1String("Action"), QLatin1String("Button")));
        button->setDefaultAction(action);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAccessibleName(action->text());
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto *resumeAllButton = new QToolButton(this);
    resumeAllButton->setObjectName(QStringLiteral("resumeAllButton"));
    resumeAllButton->setDefaultAction(m_resumeAll);
    resumeAllButton->setFocusPolicy(Qt::StrongFocus);
    resumeAllButton->setAccessibleName(m_resumeAll->text());
    buttons->addWidget(resumeAllButton);

    m_view->setObjectName(QStringLiteral("downloadsView"));
    m_view->setAccessibleName(tr("下载列表"));
    m_view->setModel(m_model);
    m_view->setItemDelegateForColumn(DownloadsModel::ProgressColumn, new ProgressDelegate(m_view));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->setWordWrap(false);
    // Tab goes on to the buttons; the arrows move between rows.
    m_view->setTabKeyNavigation(false);
    m_view->verticalHeader()->hide();
    // Fixed row heights: the view never measures rows it has not shown.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    QHeaderView *header = m_view->horizontalHeader();
    header->setSectionResizeMode(DownloadsModel::NameColumn, QHeaderView::Stretch);
    const std::pair<int, int> widths[] = {
        {DownloadsModel::SingerColumn, 100}, {DownloadsModel::FileColumn, 150},
        {DownloadsModel::SizeColumn, 80},    {DownloadsModel::ProgressColumn, 110},
        {DownloadsModel::SpeedColumn, 80},   {DownloadsModel::StateColumn, 150}};
    for (const auto &[column, width] : widths)
        header->resizeSection(column, width);
    connect(m_view, &QTableView::activated, this, &DownloadsWindow::openSelected);
    connect(m_view, &QWidget::customContextMenuRequested, this, &DownloadsWindow::showContextMenu);

    m_problem->setObjectName(QStringLiteral("openProblemLabel"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setWordWrap(true);
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problem->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_view);
    layout->addWidget(m_problem);

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DownloadsWindow::updateActions);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &DownloadsWindow::updateActions);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DownloadsWindow::updateActions);
    updateActions();
    setTabOrder(resumeAllButton, m_view);
}

QAction *DownloadsWindow::makeAction(const char *name, const QString &text, const QString &description)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(description);
    return action;
}

QList<DownloadEntry> DownloadsWindow::selectedEntries() const
{
    QList<DownloadEntry> entries;
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    for (const QModelIndex &row : rows)
        entries.append(m_model->entryAt(row.row()));
    return entries;
}

void DownloadsWindow::updateActions()
{
    bool pause = false, resume = false, cancel = false, retry = false, open = false;
    const QList<DownloadEntry> entries = selectedEntries();
    for (const DownloadEntry &entry : entries) {
        const DownloadState state = entry.state;
        pause = pause || isActive(state);
        resume = resume || state == DownloadState::Paused;
        cancel = cancel || isActive(state) || state == DownloadState::Paused;
        retry = retry || state == DownloadState::Failed || state == DownloadState::Cancelled;
        open = open || (state == DownloadState::Done && !entry.savedPath.isEmpty());
    }
    m_pause->setEnabled(pause);
    m_resume->setEnabled(resume);
    m_cancel->setEnabled(cancel);
    m_retry->setEnabled(retry);
    m_open->setEnabled(open);
    m_openFolder->setEnabled(!entries.isEmpty());
    m_remove->setEnabled(!entries.isEmpty());
}

void DownloadsWindow::pauseSelected()
{
    QList<qint64> ids;
    bool losesBytes = false;
    for (const DownloadEntry &entry : selectedEntries())
        if (isActive(entry.state)) {
            ids.append(entry.id);
            losesBytes = losesBytes || !m_queue.isContinuable(entry.id);
        }
    const auto pause = [this, ids] {
        for (const qint64 id : ids)
            m_queue.pause(id);
    };
    if (!losesBytes)
        return pause();
    // Its server gave nothing to continue from: a pause starts it again.
    askQuestion(this, tr("此下载无法续传，暂停后将从头开始。仍要暂停吗？"), false, [pause](Answer answer) {
        if (answer == Answer::Yes)
            pause();
    });
}

void DownloadsWindow::resumeSelected()
{
    for (const DownloadEntry &entry : selectedEntries())
        if (entry.state == DownloadState::Paused)
            m_queue.resume(entry.id);
}

void DownloadsWindow::cancelSelected()
{
    for (const DownloadEntry &entry : selectedEntries())
        if (isActive(entry.state) || entry.state == DownloadState::Paused)
            m_queue.cancel(entry.id);
}

void DownloadsWindow::retrySelected()
{
    for (const DownloadEntry &entry : selectedEntries())
        if (entry.state == DownloadState::Failed || entry.state == DownloadState::Cancelled)
            m_queue.resume(entry.id);
}

void DownloadsWindow::openSelected()
{
    for (const DownloadEntry &entry : selectedEntries())
        if (entry.state == DownloadState::Done && !entry.savedPath.isEmpty())
            open(entry.savedPath);
}

void DownloadsWindow::openSelectedFolders()
{
    QStringList folders;
    for (const DownloadEntry &entry : selectedEntries())
        if (const QString folder = folderOf(entry); !folder.isEmpty() && !folders.contains(folder))
            folders.append(folder);
    for (const QString &folder : std::as_const(folders))
        open(folder);
}

void DownloadsWindow::open(const QString &path)
{
    if (m_opener(QUrl::fromLocalFile(path))) {
        m_problem->hide();
        return;
    }
    m_problem->setText(tr("没有能打开它的程序，请手动打开：%1").arg(QDir::toNativeSeparators(path)));
    m_problem->show();
}

void DownloadsWindow::removeSelected()
{
    QList<qint64> ids;
    for (const DownloadEntry &entry : selectedEntries())
        ids.append(entry.id);
    if (ids.isEmpty())
        return;
    const QString question = tr("从列表中移除所选的 %1 项下载。\n同时删除下载的文件吗？").arg(ids.size());
    askQuestion(this, question, true, [this, ids](Answer answer) {
        if (answer == Answer::Cancel)
            return;
        for (const qint64 id : ids)
            m_queue.remove(id, answer == Answer::Yes);
    });
}

void DownloadsWindow::resumeAll()
{
    m_queue.resumeAll();
}

void DownloadsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Opened again after a close: a command line may have downloaded meanwhile.
    if (m_shownBefore && !event->spontaneous()) {
        m_model->reload();
        updateActions();
    }
    m_shownBefore = true;
}

void DownloadsWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DownloadsWindow::showMenuAtCurrentRow()
{
    QModelIndex at = m_view->currentIndex();
    if (!at.isValid() || !m_view->selectionModel()->isRowSelected(at.row())) {
        const QModelIndexList rows = m_view->selectionModel()->selectedRows();
        at = rows.isEmpty() ? QModelIndex() : rows.first();
    }
    if (at.isValid())
        showContextMenu(m_view->visualRect(at).center());
}

void DownloadsWindow::showContextMenu(const QPoint &position)
{
    if (!m_view->indexAt(position).isValid())
        return;
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("downloadsMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions({m_pause, m_resume, m_cancel, m_retry});
    menu->addSeparator();
    menu->addActions({m_open, m_openFolder});
    menu->addSeparator();
    menu->addActions({m_remove, m_resumeAll});
    menu->popup(m_view->viewport()->mapToGlobal(position));
}
