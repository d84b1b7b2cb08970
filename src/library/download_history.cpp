// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history_p.h"

#include "download/download_resume.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

constexpr char Columns[] = "sound_id, page_address, name, singer, file_url, folder, file_name, saved_path, "
                           "part_path, size, bytes_done, state, error, created, started, ended, tags, "
                           "cover_url, owner_pid, owner_start";
constexpr int ColumnCount = 20;

QVariant timeValue(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.toMSecsSinceEpoch()) : QVariant(QMetaType(QMetaType::LongLong));
}

QDateTime timeOf(const QVariant &value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(value.toLongLong());
}

bool isLive(DownloadState state)
{
    return state == DownloadState::Queued || state == DownloadState::Running;
}

// When a process started, in clock ticks since boot; -1 when unknown. With
// its pid it names the process, as a pid alone may be reused after it ended.
qint64 processStart(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.read(4096);
    // The name in parentheses may hold spaces; the start time is the 20th field after it.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    bool ok = false;
    const qint64 start = fields.size() > 19 ? fields[19].toLongLong(&ok) : -1;
    return ok ? start : -1;
}

qint64 ownStart()
{
    static const qint64 start = processStart(::getpid());
    return start;
}

// Whether the process that wrote an entry is still there; pid 0 is nobody.
bool processAlive(qint64 pid, qint64 start)
{
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH))
        return false;
    const qint64 now = processStart(pid);
    return start <= 0 || now < 0 || now == start;
}

// The body bytes in a part file: its size less the room kept for the tags.
std::optional<qint64> partBytes(const QString &partPath)
{
    const QFileInfo part(partPath);
    if (partPath.isEmpty() || !part.isFile())
        return std::nullopt;
    qint64 room = 0;
    QFile meta(partInfoPath(partPath));
    if (meta.open(QIODevice::ReadOnly)) {
        if (const std::optional<PartInfo> info = parsePartInfo(meta.read(4096)))
            room = info->frontRoom;
    }
    return std::max<qint64>(0, part.size() - room);
}

} // namespace

void DownloadHistory::Private::bind(QSqlQuery &q, const DownloadEntry &entry) const
{
    // A null QString binds as NULL; an entry without a sound id is still kept.
    q.addBindValue(entry.soundId.isNull() ? QString::fromLatin1("") : entry.soundId);
    q.addBindValue(entry.pageAddress);
    q.addBindValue(entry.name);
    q.addBindValue(entry.singer);
    q.addBindValue(entry.fileUrl);
    q.addBindValue(entry.folder);
    q.addBindValue(entry.fileName);
    q.addBindValue(entry.savedPath);
    q.addBindValue(entry.partPath);
    q.addBindValue(entry.size);
    q.addBindValue(entry.bytesDone);
    q.addBindValue(downloadStateName(entry.state));
    q.addBindValue(entry.error);
    q.addBindValue(timeValue(entry.created));
    q.addBindValue(timeValue(entry.started));
    q.addBindValue(timeValue(entry.ended));
    q.addBindValue(QString::fromUtf8(tagsText(entry.tags)));
    q.addBindValue(entry.coverUrl);
    // Whose it is while it may still run, so a later run can tell it was left behind.
    q.addBindValue(isLive(entry.state) ? qint64(::getpid()) : qint64(0));
    q.addBindValue(isLive(entry.state) ? ownStart() : qint64(0));
}

QList<DownloadEntry> DownloadHistory::Private::select(const QString &where, const QVariantList &values) const
{
    QSqlQuery q = query();
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id, %1 FROM downloads %2").arg(QLatin1String(Columns), where));
    for (const QVariant &v : values)
        q.addBindValue(v);
    QList<DownloadEntry> entries;
    if (!run(q))
        return entries;
    while (q.next()) {
        DownloadEntry e;
        int c = 0;
        e.id = q.value(c++).toLongLong();
        e.soundId = q.value(c++).toString();
        e.pageAddress = q.value(c++).toString();
        e.name = q.value(c++).toString();
        e.singer = q.value(c++).toString();
        e.fileUrl = q.value(c++).toString();
        e.folder = q.value(c++).toString();
        e.fileName = q.value(c++).toString();
        e.savedPath = q.value(c++).toString();
        e.partPath = q.value(c++).toString();
        e.size = q.value(c++).toLongLong();
        e.bytesDone = q.value(c++).toLongLong();
        e.state = downloadStateFromName(q.value(c++).toString()).value_or(DownloadState::Failed);
        e.error = q.value(c++).toString();
        e.created = timeOf(q.value(c++));
        e.started = timeOf(q.value(c++));
        e.ended = timeOf(q.value(c++));
        e.tags = tagsFromText(q.value(c++).toString().toUtf8());
        e.coverUrl = q.value(c++).toString();
        // A row whose process was killed is not downloading any more, even
        // before a later run writes it so.
        if (isLive(e.state) && !processAlive(q.value(c).toLongLong(), q.value(c + 1).toLongLong())) {
            e.state = DownloadState::Paused;
            e.bytesDone = partBytes(e.partPath).value_or(e.bytesDone);
        }
        entries.append(e);
    }
    return entries;
}

bool DownloadHistory::Private::begin(bool wait) const
{
    const QDeadlineTimer patience(patienceMs);
    bool told = false;
    for (bool first = true;; first = false) {
        // Each try waits out the connection's busy time-out, but the first
        // need not while another program is known to hold the file.
        const bool atOnce = first && busy;
        if (atOnce)
            value(QStringLiteral("PRAGMA busy_timeout = 0"));
        QSqlQuery q = query();
        const bool begun = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (atOnce)
            value(QStringLiteral("PRAGMA busy_timeout = %1").arg(HistoryBusyTimeoutMs));
        busy = !begun && isBusyError(q.lastError());
        if (begun)
            return true;
        if (!busy) {
            qCWarning(lcHistory) << q.lastError().text();
            return false;
        }
        if (!wait)
            return false;
        if (!told)
            tellBusy(QCoreApplication::translate("DownloadHistory",
                                                 "下载历史 %1 正被另一个程序占用，等它放开后再记入")
                         .arg(shown));
        told = true;
        if (patience.hasExpired()) {
            tellBusy(QCoreApplication::translate("DownloadHistory",
                                                 "下载历史 %1 一直被另一个程序占用，有记录未能写入")
                         .arg(shown));
            return false;
        }
    }
}

qint64 DownloadHistory::Private::insert(const DownloadEntry &entry) const
{
    QSqlQuery q = query();
    q.prepare(QStringLiteral("INSERT INTO downloads (%1) VALUES (?%2)")
                  .arg(QLatin1String(Columns), QStringLiteral(", ?").repeated(ColumnCount - 1)));
    bind(q, entry);
    return run(q) ? q.lastInsertId().toLongLong() : 0;
}

bool DownloadHistory::Private::updateRow(const DownloadEntry &entry) const
{
    QSqlQuery q = query();
    QString sets = QLatin1String(Columns);
    sets.replace(QStringLiteral(", "), QStringLiteral(" = ?, ")).append(QStringLiteral(" = ?"));
    q.prepare(QStringLiteral("UPDATE downloads SET %1 WHERE id = ?").arg(sets));
    bind(q, entry);
    q.addBindValue(entry.id);
    return run(q) && q.numRowsAffected() == 1;
}

qint64 DownloadHistory::add(const DownloadEntry &entry)
{
    qint64 id = 0;
    d->write([&] { return (id = d->insert(entry)) > 0; });
    return id;
}

qint64 DownloadHistory::addUnlessTaken(const DownloadEntry &entry, std::optional<DownloadEntry> *taken)
{
    qint64 id = 0;
    taken->reset();
    // Inside the write lock: no other program can claim the sound between the look and the insert.
    d->write([&] {
        const QList<DownloadEntry> rows =
            d->select(QStringLiteral("WHERE sound_id = ? AND state IN (?, ?, ?) ORDER BY id DESC"),
                      {entry.soundId, downloadStateName(DownloadState::Done),
                       downloadStateName(DownloadState::Queued), downloadStateName(DownloadState::Running)});
        for (const DownloadEntry &e : rows) {
            const bool done =
                e.state == DownloadState::Done && !e.savedPath.isEmpty() && QFileInfo(e.savedPath).isFile();
            if (done || (isLive(e.state) && e.folder == entry.folder)) {
                *taken = e;
                return false;
            }
        }
        return (id = d->insert(entry)) > 0;
    });
    return id;
}

bool DownloadHistory::update(const DownloadEntry &entry)
{
    return d->write([&] { return d->updateRow(entry); });
}

bool DownloadHistory::updateIf(const DownloadEntry &entry, DownloadState state)
{
    return d->write([&] {
        const QList<DownloadEntry> now = d->select(QStringLiteral("WHERE id = ?"), {entry.id});
        return !now.isEmpty() && now.first().state == state && d->updateRow(entry);
    });
}

bool DownloadHistory::saveProgress(const QList<DownloadEntry> &entries)
{
    if (entries.isEmpty())
        return true;
    const auto save = [&] {
        QSqlQuery q = d->query();
        q.prepare(
            QStringLiteral("UPDATE downloads SET bytes_done = ?, size = ?, owner_pid = ?, owner_start = ? "
                           "WHERE id = ?"));
        for (const DownloadEntry &e : entries) {
            q.addBindValue(e.bytesDone);
            q.addBindValue(e.size);
            q.addBindValue(isLive(e.state) ? qint64(::getpid()) : qint64(0));
            q.addBindValue(isLive(e.state) ? ownStart() : qint64(0));
            q.addBindValue(e.id);
            if (!d->run(q))
                return false;
        }
        return true;
    };
    // Bytes only: when the file is busy they are written with the next
    // progress or the entry's end, so nothing waits for them.
    return d->write(save, false);
}

bool DownloadHistory::remove(qint64 id)
{
    return d->write([&] {
        QSqlQuery q = d->query();
        q.prepare(QStringLiteral("DELETE FROM downloads WHERE id = ?"));
        q.addBindValue(id);
        return d->run(q);
    });
}

std::optional<DownloadEntry> DownloadHistory::entry(qint64 id) const
{
    const QList<DownloadEntry> found = d->select(QStringLiteral("WHERE id = ?"), {id});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

int DownloadHistory::count() const
{
    return d->value(QStringLiteral("SELECT COUNT(*) FROM downloads")).toInt();
}

QList<DownloadEntry> DownloadHistory::page(int offset, int limit) const
{
    return d->select(QStringLiteral("ORDER BY id DESC LIMIT ? OFFSET ?"), {limit, offset});
}

int DownloadHistory::rowOf(qint64 id) const
{
    QSqlQuery q = d->query();
    q.prepare(
        QStringLiteral("SELECT (SELECT COUNT(*) FROM downloads WHERE id > ?) FROM downloads WHERE id = ?"));
    q.addBindValue(id);
    q.addBindValue(id);
    return d->run(q) && q.next() ? q.value(0).toInt() : -1;
}

std::optional<DownloadEntry> DownloadHistory::doneWithFile(const QString &soundId) const
{
    const QList<DownloadEntry> done =
        d->select(QStringLiteral("WHERE sound_id = ? AND state = ? ORDER BY id DESC"),
                  {soundId, downloadStateName(DownloadState::Done)});
    for (const DownloadEntry &e : done) {
        if (!e.savedPath.isEmpty() && QFileInfo(e.savedPath).isFile())
            return e;
    }
    return std::nullopt;
}

QList<DownloadEntry> DownloadHistory::paused() const
{
    return d->select(QStringLiteral("WHERE state = ? ORDER BY id"),
                     {downloadStateName(DownloadState::Paused)});
}

int DownloadHistory::pauseOrphans()
{
    int paused = 0;
    // In one write transaction, so two programs starting at once do not
    // both take the same entries.
    const auto pauseThem = [&] {
        QSqlQuery live = d->query();
        live.prepare(QStringLiteral("SELECT id, owner_pid, owner_start, part_path, bytes_done FROM downloads "
                                    "WHERE state IN (?, ?)"));
        live.addBindValue(downloadStateName(DownloadState::Queued));
        live.addBindValue(downloadStateName(DownloadState::Running));
        if (!d->run(live))
            return false;
        QSqlQuery pause = d->query();
        pause.prepare(QStringLiteral(
            "UPDATE downloads SET state = ?, bytes_done = ?, owner_pid = 0, owner_start = 0 WHERE id = ?"));
        while (live.next()) {
            if (processAlive(live.value(1).toLongLong(), live.value(2).toLongLong()))
                continue;
            pause.addBindValue(downloadStateName(DownloadState::Paused));
            pause.addBindValue(partBytes(live.value(3).toString()).value_or(live.value(4).toLongLong()));
            pause.addBindValue(live.value(0));
            if (!d->run(pause))
                return false;
            ++paused;
        }
        return true;
    };
    // No wait for a busy file: its entries read as paused all the same.
    const bool written = d->write(pauseThem, false);
    return written ? paused : 0;
}
