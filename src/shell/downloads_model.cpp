// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/downloads_model.h"

#include "library/download_history.h"
#include "queue/download_queue.h"
#include "shell/plain_tool_tip.h"
#include "util/byte_size.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

DownloadsModel::DownloadsModel(DownloadQueue &queue, QObject *parent)
    : QAbstractTableModel(parent)
    , m_queue(queue)
    , m_total(queue.history().count())
{
    connect(&queue, &DownloadQueue::added, this, &DownloadsModel::onAdded);
    connect(&queue, &DownloadQueue::changed, this, &DownloadsModel::onChanged);
    connect(&queue, &DownloadQueue::removed, this, &DownloadsModel::onRemoved);
    // The first page now, so that a new view paints rows at once.
    fetchMore({});
}

int DownloadsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DownloadsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

int percentOf(const DownloadEntry &entry)
{
    if (entry.state == DownloadState::Done)
        return 100;
    if (entry.size <= 0)
        return -1;
    return int(std::clamp(entry.bytesDone * 100 / entry.size, qint64(0), qint64(100)));
}

// The saved file, or the one it is to become: two downloads of one sound
// differ only here.
QString pathOf(const DownloadEntry &entry)
{
    if (!entry.savedPath.isEmpty())
        return entry.savedPath;
    if (entry.fileName.isEmpty())
        return {};
    return entry.folder.isEmpty() ? entry.fileName : QDir(entry.folder).filePath(entry.fileName);
}

} // namespace

QVariant DownloadsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const DownloadEntry &entry = m_rows.at(index.row());
    switch (role) {
    case IdRole:
        return entry.id;
    case StateRole:
        return int(entry.state);
    case PercentRole:
        return percentOf(entry);
    case Qt::ToolTipRole:
        if (index.column() == FileColumn || (index.column() == NameColumn && !entry.savedPath.isEmpty()))
            return pathOf(entry).isEmpty() ? QVariant() : QVariant(plainToolTip(pathOf(entry)));
        // A failure's reason is longer than its cell: the whole of it on every cell of the row.
        if (!entry.error.isEmpty() && (index.column() == StateColumn || entry.state == DownloadState::Failed))
            return plainToolTip(entry.error);
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn || index.column() == SpeedColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::DisplayRole:
        break;
    default:
        return {};
    }
    switch (index.column()) {
    case NameColumn:
        return entryTitle(entry);
    case SingerColumn:
        return entry.singer;
    case FileColumn:
        return QFileInfo(pathOf(entry)).fileName();
    case SizeColumn:
        return entry.size >= 0 ? byteSizeText(double(entry.size)) : QString();
    case ProgressColumn: {
        const int percent = percentOf(entry);
        return percent >= 0 ? QStringLiteral("%1%").arg(percent) : QString();
    }
    case SpeedColumn:
        if (entry.state != DownloadState::Running)
            return QString();
        return QString(byteSizeText(m_queue.speed(entry.id)) + QStringLiteral("/s"));
    case StateColumn:
        if (entry.state == DownloadState::Failed && !entry.error.isEmpty())
            return tr("失败：%1").arg(entry.error);
        return downloadStateText(entry.state);
    }
    return {};
}

QVariant DownloadsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NameColumn:
        return tr("名称");
    case SingerColumn:
        return tr("歌手");
    case FileColumn:
        return tr("文件名");
    case SizeColumn:
        return tr("大小");
    case ProgressColumn:
        return tr("进度");
    case SpeedColumn:
        return tr("速度");
    case StateColumn:
        return tr("状态");
    }
    return {};
}

// Loaded rows are always the newest ones, so the next page starts after them.
bool DownloadsModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_rows.size() < m_total;
}

void DownloadsModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const QList<DownloadEntry> page = m_queue.history().page(int(m_rows.size()), PageSize);
    if (page.isEmpty()) {
        m_total = int(m_rows.size()); // another process removed some meanwhile
        return;
    }
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + page.size()) - 1);
    m_rows.append(page);
    endInsertRows();
}

void DownloadsModel::reload()
{
    beginResetModel();
    m_rows.clear();
    m_total = m_queue.history().count();
    endResetModel();
    fetchMore({});
}

int DownloadsModel::rowOf(qint64 id) const
{
    const auto found = std::find_if(m_rows.cbegin(), m_rows.cend(),
                                    [id](const DownloadEntry &entry) { return entry.id == id; });
    return found == m_rows.cend() ? -1 : int(found - m_rows.cbegin());
}

void DownloadsModel::onAdded(qint64 id)
{
    ++m_total;
    const std::optional<DownloadEntry> entry = m_queue.entry(id);
    if (!entry || rowOf(id) >= 0)
        return;
    beginInsertRows({}, 0, 0);
    m_rows.prepend(*entry);
    endInsertRows();
}

void DownloadsModel::onChanged(qint64 id)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    if (const std::optional<DownloadEntry> entry = m_queue.entry(id))
        m_rows[row] = *entry;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void DownloadsModel::onRemoved(qint64 id)
{
    m_total = std::max(0, m_total - 1);
    const int row = rowOf(id);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}
