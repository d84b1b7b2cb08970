// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/hot_chart.h"
#include "sound/hot_list_scraper.h"

#include <QAbstractTableModel>
#include <QList>
#include <QTreeView>

#include <optional>
#include <span>

// The rows the hot list shows, one entry a row, its fields in column order,
// with how each moved since the refresh before in a narrow column ahead of
// the name.
class HotListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The columns in order; the link column is hidden: it carries the
    // address a chosen row hands on.
    struct Column
    {
        const char *header; // translated in the window's context
        int width;
    };
    static std::span<const Column> columns();
    static constexpr int MoveColumn = 1;
    static constexpr int NameColumn = 2;
    static constexpr int LinkColumn = 7;

    // previous: the refresh the moves are against; none shows no moves.
    void setEntries(QList<HotEntry> entries, const std::optional<HotChartRefresh> &previous = {});
    const QList<HotEntry> &entries() const { return m_entries; }

private:
    QVariant moveData(const HotMove &move, int role) const;

    QList<HotEntry> m_entries;
    QList<HotMove> m_moves;
    QDateTime m_previousTime;
};

// The entries as the history keeps them, stamped now.
HotChartRefresh hotChartRefresh(const QList<HotEntry> &entries);

// The list of hot sounds: a double-click anywhere in it, on a row or not,
// is reported; so is Enter, after selecting the row under the cursor.
class HotListView : public QTreeView
{
    Q_OBJECT

public:
    explicit HotListView(QWidget *parent = nullptr);

    // Every row's height: one line of the list's font in the style's item
    // margins, whatever a row's text holds (a taller fallback face for an
    // emoji included), so that the list's height can be known beforehand.
    int uniformRowHeight() const;

signals:
    void doubleClickedAnywhere();
    void enterPressed();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
