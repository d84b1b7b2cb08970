// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/history_sql.h"

#include <QDeadlineTimer>
#include <QList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

class QThread;

// Takes the history's write jobs in order. On a file, one thread with a
// connection of its own writes them, waiting as long as another program
// holds the file, so the caller's thread never waits for a write; in memory
// (or read-only) they run at once on the caller's connection. Until a job is
// committed, what it writes is kept as pending, for the caller's reads.
class HistoryWriter
{
public:
    struct Events
    {
        std::function<void(const QString &)> notice; // words for people
        std::function<void(qint64)> lost;            // the row is not ours to write
    };
    // What reads see before the database does: the entry, or nullopt when removed.
    using Pending = std::map<qint64, std::optional<DownloadEntry>>;

    // Threaded; the events are called on the writer's thread.
    HistoryWriter(const QString &path, const QString &shown, Events events);
    // At once on sql, which must outlive this object.
    HistoryWriter(const HistorySql &sql, const QString &shown, Events events);
    // Writes every job left before it returns; abandon() first not to wait.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter &) = delete;
    HistoryWriter &operator=(const HistoryWriter &) = delete;

    void post(HistoryJob job);
    Pending pending() const;
    // A row found to be another program's: later jobs for it are dropped.
    bool isLost(qint64 id) const;
    // Whether every job was committed (or failed and told) before the deadline.
    bool flush(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    // Stops the thread after the try it is at; returns the jobs not written.
    QList<HistoryJob> abandon();

private:
    struct Slot
    {
        std::optional<DownloadEntry> entry;
        int jobs = 0;
    };
    void work(const QString &path, const QString &name);
    // Drops the front job after its outcome: its pending writes go, and
    // what is lost or failed is told.
    void complete(const HistoryJob &job, JobOutcome outcome, const QString &error);

    const QString m_shown;
    const Events m_events;
    const HistorySql *m_inline = nullptr;
    QThread *m_thread = nullptr;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;    // the writer: a job, or the end
    std::condition_variable m_drained; // flush(): a job done
    std::deque<HistoryJob> m_jobs;     // the front one is being written
    std::map<qint64, Slot> m_pending;
    std::set<qint64> m_lost;
    bool m_stop = false;
    bool m_abandon = false;
};
