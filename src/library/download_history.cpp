// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history_p.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <unistd.h>

namespace {

// A new entry's id: milliseconds since 2026-01-01 UTC, shifted left by 22
// bits, plus this process's id (Linux's pid_max is at most 2^22). The clock
// is this process's own and never gives the same millisecond twice, so ids
// grow with time and "newest first" holds across programs, and old rows'
// small ids stay older. Two programs alive at once have different pids, so
// their ids differ; a later process with a reused pid would have to reach a
// millisecond the earlier one had already run ahead to, one per entry it
// added, or the wall clock would have to step back by as much. Should the
// insert still fail, the writer tells it and the entry is lost(): its
// download stops, and nothing is written over another program's row.
qint64 newId()
{
    constexpr qint64 Epoch = 1'767'225'600'000;
    static std::atomic<qint64> last{0};
    const qint64 now = QDateTime::currentMSecsSinceEpoch() - Epoch;
    qint64 previous = last.load();
    qint64 next = 0;
    do {
        next = std::max(now, previous + 1);
    } while (!last.compare_exchange_weak(previous, next));
    return (next << 22) | qint64(::getpid());
}

QList<DownloadEntry> present(const HistoryWriter::Pending &pending)
{
    QList<DownloadEntry> entries;
    for (const auto &[id, e] : pending) {
        if (e)
            entries.append(*e);
    }
    return entries;
}

qsizetype newerThan(const QList<DownloadEntry> &entries, qint64 id)
{
    return std::count_if(entries.cbegin(), entries.cend(),
                         [id](const DownloadEntry &e) { return e.id > id; });
}

void newestFirst(QList<DownloadEntry> &entries)
{
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.id > b.id; });
}

} // namespace

QList<DownloadEntry> DownloadHistory::Private::rows(const HistoryWriter::Pending &pending, QString where,
                                                    QVariantList values, const QString &tail) const
{
    // Pending ids are taken from the writer's side even once committed,
    // so a row is never counted twice while a read runs.
    if (!pending.empty()) {
        QStringList ids;
        for (const auto &[id, e] : pending)
            ids.append(QString::number(id));
        where = (where.isEmpty() ? QString() : u'(' + where + QStringLiteral(") AND ")) +
                QStringLiteral("id NOT IN (%1)").arg(ids.join(u','));
    }
    return select(where, values, tail);
}

int DownloadHistory::Private::countWhere(const HistoryWriter::Pending &pending, const QString &where,
                                         const QVariantList &values) const
{
    QString condition = where;
    for (const auto &[id, e] : pending)
        condition +=
            (condition.isEmpty() ? QString() : QStringLiteral(" AND ")) + QStringLiteral("id <> %1").arg(id);
    QSqlQuery q = query();
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM downloads %1")
                  .arg(condition.isEmpty() ? QString() : QStringLiteral("WHERE ") + condition));
    for (const QVariant &v : values)
        q.addBindValue(v);
    return run(q) && q.next() ? q.value(0).toInt() : 0;
}

void DownloadHistory::Private::startWriting(DownloadHistory *owner, const QString &path)
{
    // Called on the writer's thread: told on the owner's.
    HistoryWriter::Events events;
    events.notice = [owner](const QString &text) {
        QMetaObject::invokeMethod(
            owner, [owner, text] { owner->d->tellBusy(text); }, Qt::QueuedConnection);
    };
    events.lost = [owner](qint64 id) {
        QMetaObject::invokeMethod(
            owner, [owner, id] { emit owner->lost(id); }, Qt::QueuedConnection);
    };
    if (persistent && !readOnly) {
        value(QStringLiteral("PRAGMA busy_timeout = %1").arg(HistoryReadTimeoutMs));
        writer = std::make_unique<HistoryWriter>(path, shown, std::move(events));
    } else {
        writer = std::make_unique<HistoryWriter>(*this, shown, std::move(events));
    }
}

Expected<qint64, StoreFailure> DownloadHistory::add(const DownloadEntry &entry)
{
    if (opened()->readOnly)
        return unexpected(StoreRefusal::ReadOnly, entry);
    DownloadEntry e = entry;
    e.id = newId();
    opened()->writer->post({HistoryJob::Kind::Add, {e}});
    return e.id;
}

Expected<qint64, StoreFailure> DownloadHistory::addUnlessTaken(const DownloadEntry &entry)
{
    if (opened()->readOnly)
        return unexpected(StoreRefusal::ReadOnly, entry);
    const auto takenNow = [&] {
        const HistoryWriter::Pending pending = opened()->writer->pending();
        const QList<DownloadState> states = {DownloadState::Done, DownloadState::Queued,
                                             DownloadState::Running};
        QList<DownloadEntry> rows =
            opened()->rows(pending, QStringLiteral("sound_id = ? AND state IN (?, ?, ?)"),
                           {entry.soundId, downloadStateName(states[0]), downloadStateName(states[1]),
                            downloadStateName(states[2])});
        for (const DownloadEntry &e : present(pending)) {
            if (e.soundId == entry.soundId && states.contains(e.state))
                rows.append(e);
        }
        newestFirst(rows);
        return takenBy(rows, entry);
    };
    // Told now, as the caller must know; the writer looks again inside its lock.
    if (const auto taken = takenNow())
        return unexpected(StoreRefusal::Taken, *taken);
    DownloadEntry e = entry;
    e.id = newId();
    opened()->writer->post({HistoryJob::Kind::AddUnlessTaken, {e}});
    if (m_exactClaims && flush() && opened()->writer->isLost(e.id)) {
        // The one that took it may have ended and gone meanwhile.
        if (const auto taken = takenNow())
            return unexpected(StoreRefusal::Taken, *taken);
        return unexpected(StoreRefusal::Moved, e);
    }
    return e.id;
}

void DownloadHistory::update(const DownloadEntry &entry)
{
    opened()->writer->post({HistoryJob::Kind::Update, {entry}});
}

Expected<void, StoreFailure> DownloadHistory::updateIf(const DownloadEntry &entry, DownloadState state)
{
    if (opened()->readOnly)
        return unexpected(StoreRefusal::ReadOnly, entry);
    if (opened()->writer->isLost(entry.id))
        return unexpected(StoreRefusal::Moved, entry);
    const std::optional<DownloadEntry> now = this->entry(entry.id);
    if (!now || now->state != state)
        return unexpected(StoreRefusal::Moved, now.value_or(entry));
    opened()->writer->post({HistoryJob::Kind::UpdateIf, {entry}, state});
    return {};
}

void DownloadHistory::saveProgress(const QList<DownloadEntry> &entries)
{
    if (!entries.isEmpty())
        opened()->writer->post({HistoryJob::Kind::Progress, entries});
}

void DownloadHistory::remove(qint64 id)
{
    DownloadEntry e;
    e.id = id;
    opened()->writer->post({HistoryJob::Kind::Remove, {e}});
}

void DownloadHistory::pauseOrphans()
{
    // In one write transaction, so two programs starting at once do not
    // both take the same entries; until then they read as paused.
    opened()->writer->post({HistoryJob::Kind::PauseOrphans, {}});
}

bool DownloadHistory::flush(std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline = limit == std::chrono::milliseconds::max()
                                        ? QDeadlineTimer(QDeadlineTimer::Forever)
                                        : QDeadlineTimer(limit.count());
    // The writer's words are told while waiting, even when the program is
    // ending and its event loop has stopped: a user waiting for another
    // program must know why.
    const bool tell = thread() == QThread::currentThread();
    for (;;) {
        const bool written = opened()->writer->flush(std::min(deadline, QDeadlineTimer(tell ? 100 : -1)));
        if (tell)
            QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (written || deadline.hasExpired())
            return written;
    }
}

std::optional<DownloadEntry> DownloadHistory::entry(qint64 id) const
{
    const HistoryWriter::Pending pending = opened()->writer->pending();
    if (const auto found = pending.find(id); found != pending.end())
        return found->second;
    const QList<DownloadEntry> found = opened()->select(QStringLiteral("id = ?"), {id});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

int DownloadHistory::count() const
{
    const HistoryWriter::Pending pending = opened()->writer->pending();
    return opened()->countWhere(pending, {}, {}) + int(present(pending).size());
}

QList<DownloadEntry> DownloadHistory::page(int offset, int limit) const
{
    const HistoryWriter::Pending pending = opened()->writer->pending();
    const QString order = QStringLiteral("ORDER BY id DESC LIMIT ? OFFSET ?");
    if (pending.empty())
        return opened()->select({}, {limit, offset}, order);
    // A pending entry moves the file's rows down by one from where it
    // sits, so the page's file rows are among these.
    const QList<DownloadEntry> mine = present(pending);
    const int start = std::max(0, offset - int(mine.size()));
    QList<std::pair<qsizetype, DownloadEntry>> ranked;
    const QList<DownloadEntry> window = opened()->rows(pending, {}, {limit + int(mine.size()), start}, order);
    for (qsizetype n = 0; n < window.size(); ++n)
        ranked.append({start + n + newerThan(mine, window[n].id), window[n]});
    for (const DownloadEntry &e : mine)
        ranked.append(
            {opened()->countWhere(pending, QStringLiteral("id > ?"), {e.id}) + newerThan(mine, e.id), e});
    std::sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<DownloadEntry> page;
    for (const auto &[rank, e] : ranked) {
        if (rank >= offset && rank < qsizetype(offset) + limit)
            page.append(e);
    }
    return page;
}

int DownloadHistory::rowOf(qint64 id) const
{
    const HistoryWriter::Pending pending = opened()->writer->pending();
    if (const auto found = pending.find(id);
        found != pending.end() ? !found->second
                               : opened()->countWhere(pending, QStringLiteral("id = ?"), {id}) == 0)
        return -1;
    return opened()->countWhere(pending, QStringLiteral("id > ?"), {id}) +
           int(newerThan(present(pending), id));
}

std::optional<DownloadEntry> DownloadHistory::doneWithFile(const QString &soundId) const
{
    const HistoryWriter::Pending pending = opened()->writer->pending();
    QList<DownloadEntry> done = opened()->rows(pending, QStringLiteral("sound_id = ? AND state = ?"),
                                               {soundId, downloadStateName(DownloadState::Done)});
    for (const DownloadEntry &e : present(pending)) {
        if (e.soundId == soundId && e.state == DownloadState::Done)
            done.append(e);
    }
    newestFirst(done);
    for (const DownloadEntry &e : std::as_const(done)) {
        if (!e.savedPath.isEmpty() && QFileInfo(e.savedPath).isFile())
            return e;
    }
    return std::nullopt;
}

QList<DownloadEntry> DownloadHistory::paused() const
{
    const HistoryWriter::Pending pending = opened()->writer->pending();
    // Live rows of a process that is gone read as paused before pauseOrphans() has written them so.
    QList<DownloadEntry> paused =
        opened()->rows(pending, QStringLiteral("state IN (?, ?, ?)"),
                       {downloadStateName(DownloadState::Paused), downloadStateName(DownloadState::Queued),
                        downloadStateName(DownloadState::Running)});
    paused += present(pending);
    paused.removeIf([](const DownloadEntry &e) { return e.state != DownloadState::Paused; });
    std::sort(paused.begin(), paused.end(), [](const auto &a, const auto &b) { return a.id < b.id; });
    return paused;
}

void DownloadHistory::setOnOpen(std::function<void()> onOpen)
{
    d->onOpen = std::move(onOpen);
}

void DownloadHistory::setNotice(std::function<void(const QString &)> notice)
{
    d->notice = std::move(notice);
}

void DownloadHistory::setExitPatience(std::chrono::milliseconds patience)
{
    d->exitPatience = patience;
}

bool DownloadHistory::isPersistent() const
{
    return opened()->persistent;
}

QString DownloadHistory::problem() const
{
    return opened()->problem;
}

QString DownloadHistory::movedAside() const
{
    return opened()->movedAside;
}
