// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/history_writer.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>

namespace {

// Each try for the write lock waits this long for another program.
constexpr int WriterBusyTimeoutMs = 250;

} // namespace

HistoryWriter::HistoryWriter(const QString &path, const QString &shown, Events events)
    : m_shown(shown)
    , m_events(std::move(events))
{
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("download-history-writer-%1").arg(++serial);
    m_thread = QThread::create([this, path, name] { work(path, name); });
    m_thread->start();
}

HistoryWriter::HistoryWriter(const HistorySql &sql, const QString &shown, Events events)
    : m_shown(shown)
    , m_events(std::move(events))
    , m_inline(&sql)
{}

HistoryWriter::~HistoryWriter()
{
    if (!m_thread)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread->wait();
    delete m_thread;
}

void HistoryWriter::post(HistoryJob job)
{
    using Kind = HistoryJob::Kind;
    {
        const std::lock_guard lock(m_mutex);
        // Removing a row is the user's wish even when another program took it on.
        if (job.kind != Kind::Remove) {
            job.entries.removeIf([this](const DownloadEntry &e) { return m_lost.count(e.id) > 0; });
            if (job.entries.isEmpty() && job.hasRows())
                return;
        }
        for (const DownloadEntry &e : std::as_const(job.entries)) {
            Slot &slot = m_pending[e.id];
            ++slot.jobs;
            if (job.kind == Kind::Remove) {
                slot.entry.reset();
            } else if (job.kind == Kind::Progress && slot.jobs > 1) {
                // Bytes only, onto what is pending already.
                if (slot.entry) {
                    slot.entry->bytesDone = e.bytesDone;
                    slot.entry->size = e.size;
                }
            } else {
                slot.entry = e;
            }
        }
        if (!m_inline) {
            m_jobs.push_back(job);
            m_wake.notify_one();
            return;
        }
    }
    // Nobody else writes a history in memory: never busy.
    const JobOutcome outcome = runJob(*m_inline, job);
    complete(job, outcome == JobOutcome::Busy ? JobOutcome::Failed : outcome, m_inline->lastError.text());
}

HistoryWriter::Pending HistoryWriter::pending() const
{
    const std::lock_guard lock(m_mutex);
    Pending pending;
    for (const auto &[id, slot] : m_pending)
        pending.emplace(id, slot.entry);
    return pending;
}

bool HistoryWriter::isLost(qint64 id) const
{
    const std::lock_guard lock(m_mutex);
    return m_lost.count(id) > 0;
}

bool HistoryWriter::flush(QDeadlineTimer deadline)
{
    std::unique_lock lock(m_mutex);
    const auto drained = [this] { return m_jobs.empty() || m_abandon; };
    if (deadline.isForever()) {
        m_drained.wait(lock, drained);
        return m_jobs.empty();
    }
    m_drained.wait_for(lock, std::chrono::milliseconds(deadline.remainingTime()), drained);
    return m_jobs.empty();
}

QList<HistoryJob> HistoryWriter::abandon()
{
    if (!m_thread)
        return {};
    {
        const std::lock_guard lock(m_mutex);
        m_abandon = true;
    }
    m_wake.notify_all();
    m_thread->wait();
    const std::lock_guard lock(m_mutex);
    QList<HistoryJob> left(m_jobs.begin(), m_jobs.end());
    m_jobs.clear();
    m_pending.clear();
    return left;
}

void HistoryWriter::complete(const HistoryJob &job, JobOutcome outcome, const QString &error)
{
    using Kind = HistoryJob::Kind;
    // A new entry that cannot be inserted has no row for its later writes either.
    const bool lost =
        outcome == JobOutcome::Lost ||
        (outcome == JobOutcome::Failed && (job.kind == Kind::Add || job.kind == Kind::AddUnlessTaken));
    {
        const std::lock_guard lock(m_mutex);
        if (!m_inline)
            m_jobs.pop_front();
        for (const DownloadEntry &e : job.entries) {
            const auto slot = m_pending.find(e.id);
            if (lost) {
                m_lost.insert(e.id);
                m_pending.erase(e.id);
            } else if (slot != m_pending.end() && --slot->second.jobs <= 0) {
                m_pending.erase(slot);
            }
        }
    }
    m_drained.notify_all();
    if (outcome == JobOutcome::Failed && m_events.notice)
        m_events.notice(
            QCoreApplication::translate("DownloadHistory", "无法写入下载历史 %1（%2），有记录未能保存")
                .arg(m_shown, error));
    if (lost && m_events.lost) {
        for (const DownloadEntry &e : job.entries)
            m_events.lost(e.id);
    }
}

void HistoryWriter::work(const QString &path, const QString &name)
{
    {
        HistorySql sql;
        sql.db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        sql.db.setDatabaseName(path);
        sql.db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(WriterBusyTimeoutMs));
        if (sql.db.open())
            sql.run(QStringLiteral("PRAGMA synchronous=NORMAL")); // per connection
        bool waiting = false;                                     // told that another program holds the file
        for (;;) {
            HistoryJob job;
            bool dropped = false;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_abandon || m_stop || !m_jobs.empty(); });
                if (m_abandon || m_jobs.empty())
                    break;
                job = m_jobs.front();
                // Rows found to be another program's meanwhile are not ours to write any more.
                if (job.kind != HistoryJob::Kind::Remove) {
                    job.entries.removeIf([this](const DownloadEntry &e) { return m_lost.count(e.id) > 0; });
                    dropped = job.entries.isEmpty() && job.hasRows();
                }
            }
            const JobOutcome outcome = dropped ? JobOutcome::Done : runJob(sql, job);
            if (outcome == JobOutcome::Busy) {
                // Patient: the row waits its turn, it is never given up.
                if (!waiting && m_events.notice)
                    m_events.notice(QCoreApplication::translate(
                                        "DownloadHistory", "下载历史 %1 正被另一个程序占用，等它放开后再记入")
                                        .arg(m_shown));
                waiting = true;
                std::unique_lock lock(m_mutex);
                m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_abandon; });
                continue;
            }
            if (waiting && m_events.notice)
                m_events.notice(
                    QCoreApplication::translate("DownloadHistory", "下载历史 %1 已放开，等待的记录已写入")
                        .arg(m_shown));
            waiting = false;
            complete(job, outcome, sql.lastError.text());
        }
        sql.db.close();
        sql.db = QSqlDatabase();
    }
    QSqlDatabase::removeDatabase(name);
}
