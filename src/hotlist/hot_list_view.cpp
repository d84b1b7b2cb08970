// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hotlist/hot_list_view.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

const HotListModel::Column Columns[] = {
    {QT_TRANSLATE_NOOP("HotListWindow", "ID"), 53},    {QT_TRANSLATE_NOOP("HotListWindow", "音乐名称"), 167},
    {QT_TRANSLATE_NOOP("HotListWindow", "频道"), 133}, {QT_TRANSLATE_NOOP("HotListWindow", "分享"), 53},
    {QT_TRANSLATE_NOOP("HotListWindow", "喜欢"), 53},  {QT_TRANSLATE_NOOP("HotListWindow", "评论"), 53},
    {QT_TRANSLATE_NOOP("HotListWindow", "链接"), 0},
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
    return QCoreApplication::translate("HotListWindow", Columns[section].header);
}

void HotListModel::setEntries(QList<HotEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
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
