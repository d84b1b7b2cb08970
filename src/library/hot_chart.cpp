// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The hot list's refreshes in the history: kept beside the downloads, written
// through the same writer, so that the window never waits for another
// program holding the file.
#include "library/hot_chart.h"

#include "library/download_history_p.h"

#include <QCoreApplication>
#include <QHash>

QList<HotMove> hotMoves(const QList<HotChartEntry> &entries, const std::optional<HotChartRefresh> &previous)
{
    QList<HotMove> moves(entries.size());
    if (!previous)
        return moves;
    QHash<QString, int> before;
    for (qsizetype i = previous->entries.size() - 1; i >= 0; --i) {
        if (!previous->entries.at(i).id.isEmpty())
            before.insert(previous->entries.at(i).id, int(i) + 1);
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        HotMove &move = moves[i];
        const auto found = before.constFind(entries.at(i).id);
        if (entries.at(i).id.isEmpty() || found == before.cend()) {
            move.kind = HotMove::Kind::New;
            continue;
        }
        const int rank = int(i) + 1;
        move.previousRank = *found;
        move.places = std::abs(*found - rank);
        move.kind = *found > rank   ? HotMove::Kind::Up
                    : *found < rank ? HotMove::Kind::Down
                                    : HotMove::Kind::Same;
    }
    return moves;
}

QString hotMoveText(const HotMove &move)
{
    switch (move.kind) {
    case HotMove::Kind::Up:
        return QStringLiteral("↑%1").arg(move.places);
    case HotMove::Kind::Down:
        return QStringLiteral("↓%1").arg(move.places);
    case HotMove::Kind::New:
        return QCoreApplication::translate("HotChart", "新");
    case HotMove::Kind::None:
    case HotMove::Kind::Same:
        break;
    }
    return {};
}

bool createHotTables(const HistorySql &sql)
{
    return sql.run(QStringLiteral(
               "CREATE TABLE hot_refreshes (id INTEGER PRIMARY KEY, time INTEGER NOT NULL)")) &&
           sql.run(
               QStringLiteral("CREATE TABLE hot_entries (refresh_id INTEGER NOT NULL, rank INTEGER NOT NULL, "
                              "sound_id TEXT NOT NULL, name TEXT, singer TEXT, "
                              "PRIMARY KEY (refresh_id, rank))"));
}

bool insertHotRefresh(const HistorySql &sql, const HotChartRefresh &refresh)
{
    QSqlQuery q = sql.query();
    q.prepare(QStringLiteral("INSERT INTO hot_refreshes (time) VALUES (?)"));
    q.addBindValue(refresh.time.toMSecsSinceEpoch());
    if (!sql.run(q))
        return false;
    const QVariant id = q.lastInsertId();
    q.prepare(QStringLiteral("INSERT INTO hot_entries (refresh_id, rank, sound_id, name, singer) "
                             "VALUES (?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < refresh.entries.size(); ++i) {
        const HotChartEntry &e = refresh.entries.at(i);
        q.addBindValue(id);
        q.addBindValue(int(i) + 1);
        q.addBindValue(e.id.isNull() ? QString::fromLatin1("") : e.id);
        q.addBindValue(e.name);
        q.addBindValue(e.singer);
        if (!sql.run(q))
            return false;
    }
    // Older ones go in the same transaction, so the file never holds more.
    return sql.run(QStringLiteral("DELETE FROM hot_refreshes WHERE id NOT IN (SELECT id FROM hot_refreshes "
                                  "ORDER BY time DESC, id DESC LIMIT %1)")
                       .arg(HotChartKept)) &&
           sql.run(QStringLiteral(
               "DELETE FROM hot_entries WHERE refresh_id NOT IN (SELECT id FROM hot_refreshes)"));
}

QList<HotChartRefresh> selectHotRefreshes(const HistorySql &sql, int limit)
{
    QSqlQuery q = sql.query();
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT r.id, r.time, e.sound_id, e.name, e.singer FROM "
                             "(SELECT id, time FROM hot_refreshes ORDER BY time DESC, id DESC LIMIT ?) r "
                             "LEFT JOIN hot_entries e ON e.refresh_id = r.id "
                             "ORDER BY r.time DESC, r.id DESC, e.rank"));
    q.addBindValue(limit);
    QList<HotChartRefresh> refreshes;
    if (!sql.run(q))
        return refreshes;
    qint64 current = -1;
    while (q.next()) {
        if (refreshes.isEmpty() || q.value(0).toLongLong() != current) {
            current = q.value(0).toLongLong();
            refreshes.append({QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong()), {}});
        }
        if (!q.value(2).isNull())
            refreshes.last().entries.append(
                {q.value(2).toString(), q.value(3).toString(), q.value(4).toString()});
    }
    return refreshes;
}

std::optional<HotChartRefresh> DownloadHistory::recordHotRefresh(const HotChartRefresh &refresh)
{
    std::optional<HotChartRefresh> previous = latestHotRefresh();
    if (opened()->readOnly)
        return previous;
    opened()->postedHot = refresh;
    HistoryJob job;
    job.kind = HistoryJob::Kind::HotRefresh;
    job.hotRefresh = refresh;
    opened()->writer->post(std::move(job));
    return previous;
}

std::optional<HotChartRefresh> DownloadHistory::latestHotRefresh() const
{
    const QList<HotChartRefresh> stored = selectHotRefreshes(*opened(), 1);
    // This program's last one may still wait for the writer.
    const std::optional<HotChartRefresh> &posted = opened()->postedHot;
    if (posted && (stored.isEmpty() || stored.first().time <= posted->time))
        return posted;
    if (stored.isEmpty())
        return std::nullopt;
    return stored.first();
}

QList<HotChartRefresh> DownloadHistory::hotRefreshes(int limit) const
{
    return selectHotRefreshes(*opened(), limit);
}
