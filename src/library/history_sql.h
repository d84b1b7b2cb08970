// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The history's statements on one connection, and the write jobs that the
// caller's thread hands to the writer's connection.

#include "library/download_entry.h"
#include "library/hot_chart.h"

#include <QList>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <functional>

Q_DECLARE_LOGGING_CATEGORY(lcHistory)

// SQLite's SQLITE_BUSY and SQLITE_LOCKED: someone else is writing.
inline bool isBusyError(const QSqlError &error)
{
    return error.nativeErrorCode() == u"5" || error.nativeErrorCode() == u"6";
}

bool isLive(DownloadState state);

// Statements on one connection; a connection is used only by the thread
// that opened it.
struct HistorySql
{
    QSqlDatabase db;
    bool readOnly = false;
    mutable QSqlError lastError; // of the last statement that failed

    QSqlQuery query() const { return QSqlQuery(db); }
    bool run(QSqlQuery &q) const;
    bool run(const QString &statement) const;
    QVariant value(const QString &statement) const;

    void bind(QSqlQuery &q, const DownloadEntry &entry) const;
    bool insert(const DownloadEntry &entry) const; // with the entry's own id
    bool updateRow(const DownloadEntry &entry) const;
    // tail follows the WHERE clause (ORDER BY, LIMIT); where may be empty.
    QList<DownloadEntry> select(const QString &where, const QVariantList &values,
                                const QString &tail = {}) const;
};

// The entry (among rows of its sound, newest first) that has the sound taken
// care of already: done with its file still there, or on its way to the same
// folder in a process that is still running.
std::optional<DownloadEntry> takenBy(const QList<DownloadEntry> &rows, const DownloadEntry &entry);

struct HistoryJob
{
    enum class Kind { Add, AddUnlessTaken, Update, UpdateIf, Progress, Remove, PauseOrphans, HotRefresh };
    Kind kind = Kind::Add;
    QList<DownloadEntry> entries;                // one, but for Progress; none for PauseOrphans, HotRefresh
    DownloadState state = DownloadState::Queued; // UpdateIf: what the row must still be
    HotChartRefresh hotRefresh = {};             // HotRefresh: what to record

    // Whether the job is about downloads' rows, and goes when they do.
    bool hasRows() const { return kind != Kind::PauseOrphans && kind != Kind::HotRefresh; }
};

// The hot list's tables (hot_chart.cpp).
bool createHotTables(const HistorySql &sql);
// Inserts a refresh and drops the ones past the newest HotChartKept.
bool insertHotRefresh(const HistorySql &sql, const HotChartRefresh &refresh);
// Newest first.
QList<HotChartRefresh> selectHotRefreshes(const HistorySql &sql, int limit);

// Lost: the row is not (or no longer) this program's to write.
enum class JobOutcome { Done, Lost, Busy, Failed };

// Runs a job as one IMMEDIATE transaction, trying once to take the lock.
JobOutcome runJob(const HistorySql &sql, const HistoryJob &job);
