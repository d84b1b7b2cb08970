// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hotlist/hot_list_view.h"

#include "sound/sound_link.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

const HotListModel::Column Columns[] = {
    {QT_TRANSLATE_NOOP("HotListWindow", "ID"), 53},        {"", 30},
    {QT_TRANSLATE_NOOP("HotListWindow", "音乐名称"), 167}, {QT_TRANSLATE_NOOP("HotListWindow", "频道"), 133},
    {QT_TRANSLATE_NOOP("HotListWindow", "分享"), 53},      {QT_TRANSLATE_NOOP("HotListWindow", "喜欢"), 53},
    {QT_TRANSLATE_NOOP("HotListWindow", "评论"), 53},      {QT_TRANSLATE_NOOP("HotListWindow", "链接"), 0},
};

// Gives each row the view's one row height.
class UniformRowDelegate final : public QStyledItemDelegate
{
public:
    explicit UniformRowDelegate(HotListView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_view->uniformRowHeight()};
    }

private:
    const HotListView *m_view;
};

} // namespace

std::span<const HotListModel::Column> HotListModel::columns()
{
    return Columns;
}

int HotListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int HotListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(std::size(Columns));
}

QVariant HotListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (index.column() == MoveColumn)
        return moveData(m_moves.value(index.row()), role);
    if (role != Qt::DisplayRole)
        return {};
    return m_entries.at(index.row()).field(index.column() < MoveColumn ? index.column() : index.column() - 1);
}

QVariant HotListModel::moveData(const HotMove &move, int role) const
{
    using Kind = HotMove::Kind;
    switch (role) {
    case Qt::DisplayRole:
        return hotMoveText(move);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    case Qt::ToolTipRole:
        if (move.kind == Kind::New)
            return QCoreApplication::translate("HotListWindow", "上次不在榜上");
        if (move.previousRank)
            return QCoreApplication::translate("HotListWindow", "上次第 %1 名（%2）")
                .arg(*move.previousRank)
                .arg(QLocale().toString(m_previousTime.toLocalTime(), QLocale::ShortFormat));
        return {};
    case Qt::AccessibleDescriptionRole:
        switch (move.kind) {
        case Kind::Up:
            return QCoreApplication::translate("HotListWindow", "上升 %n 位", nullptr, move.places);
        case Kind::Down:
            return QCoreApplication::translate("HotListWindow", "下降 %n 位", nullptr, move.places);
        case Kind::New:
            return QCoreApplication::translate("HotListWindow", "新上榜");
        case Kind::Same:
            return QCoreApplication::translate("HotListWindow", "排名不变");
        case Kind::None:
            break;
        }
        return {};
    default:
        return {};
    }
}

QVariant HotListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= int(std::size(Columns)))
        return {};
    return *Columns[section].header ? QCoreApplication::translate("HotListWindow", Columns[section].header)
                                    : QString();
}

void HotListModel::setEntries(QList<HotEntry> entries, const std::optional<HotChartRefresh> &previous)
{
    beginResetModel();
    m_entries = std::move(entries);
    m_moves = hotMoves(hotChartRefresh(m_entries).entries, previous);
    m_previousTime = previous ? previous->time : QDateTime();
    endResetModel();
}

HotChartRefresh hotChartRefresh(const QList<HotEntry> &entries)
{
    HotChartRefresh refresh{QDateTime::currentDateTimeUtc(), {}};
    for (const HotEntry &e : entries)
        refresh.entries.append({soundIdFromAddress(e.link), e.name, e.channel});
    return refresh;
}

HotListView::HotListView(QWidget *parent)
    : QTreeView(parent)
{
    setItemDelegate(new UniformRowDelegate(this));
}

int HotListView::uniformRowHeight() const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Ag热榜");
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, {}, this).height();
}

void HotListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    event->accept();
    emit doubleClickedAnywhere();
}

void HotListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QTreeView::keyPressEvent(event);
        return;
    }
    event->accept();
    // Tab into the list gives it a current row without selecting it.
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isRowSelected(current.row()))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit enterPressed();
}
