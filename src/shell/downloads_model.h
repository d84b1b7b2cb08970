// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_entry.h"

#include <QAbstractTableModel>
#include <QList>

class DownloadQueue;

// The download history as a table, newest first: name, singer, file name,
// size, progress, speed and state. Rows are read from the history a page at a
// time, the first at once, the others as the view scrolls to them; the queue's signals keep them live
// (a new download comes in at the top).
class DownloadsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        NameColumn,
        SingerColumn,
        FileColumn,
        SizeColumn,
        ProgressColumn,
        SpeedColumn,
        StateColumn,
        ColumnCount
    };
    enum Role {
        IdRole = Qt::UserRole,
        StateRole,   // DownloadState as int
        PercentRole, // 0..100, -1 while the size is unknown
    };
    static constexpr int PageSize = 200;

    explicit DownloadsModel(DownloadQueue &queue, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // Reads the first page again, with what other processes (a command
    // line) wrote to the history since.
    void reload();

    // The entry as last read; rows must be in range.
    const DownloadEntry &entryAt(int row) const { return m_rows.at(row); }
    // The loaded row of an entry, or -1.
    int rowOf(qint64 id) const;

private:
    void onAdded(qint64 id);
    void onChanged(qint64 id);
    void onRemoved(qint64 id);

    DownloadQueue &m_queue;
    QList<DownloadEntry> m_rows; // the newest entries, as many as loaded so far
    int m_total = 0;             // entries in the history
};
