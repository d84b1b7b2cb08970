// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/history_sql.h"

#include "download/download_resume.h"

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

void HistorySql::bind(QSqlQuery &q, const DownloadEntry &entry) const
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

QList<DownloadEntry> HistorySql::select(const QString &where, const QVariantList &values,
                                        const QString &tail) const
{
    QSqlQuery q = query();
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id, %1 FROM downloads %2 %3")
                  .arg(QLatin1String(Columns), where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where,
                       tail));
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

bool isLive(DownloadState state)
{
    return state == DownloadState::Queued || state == DownloadState::Running;
}

bool HistorySql::run(QSqlQuery &q) const
{
    if (q.exec())
        return true;
    lastError = q.lastError();
    qCWarning(lcHistory) << q.lastQuery() << lastError.text();
    return false;
}

bool HistorySql::run(const QString &statement) const
{
    QSqlQuery q = query();
    if (q.exec(statement))
        return true;
    lastError = q.lastError();
    qCWarning(lcHistory) << statement << lastError.text();
    return false;
}

QVariant HistorySql::value(const QString &statement) const
{
    QSqlQuery q = query();
    if (q.exec(statement) && q.next())
        return q.value(0);
    lastError = q.lastError();
    return {};
}

bool HistorySql::insert(const DownloadEntry &entry) const
{
    QSqlQuery q = query();
    q.prepare(QStringLiteral("INSERT INTO downloads (id, %1) VALUES (?%2)")
                  .arg(QLatin1String(Columns), QStringLiteral(", ?").repeated(ColumnCount)));
    q.addBindValue(entry.id);
    bind(q, entry);
    return run(q);
}

bool HistorySql::updateRow(const DownloadEntry &entry) const
{
    QSqlQuery q = query();
    QString sets = QLatin1String(Columns);
    sets.replace(QStringLiteral(", "), QStringLiteral(" = ?, ")).append(QStringLiteral(" = ?"));
    q.prepare(QStringLiteral("UPDATE downloads SET %1 WHERE id = ?").arg(sets));
    bind(q, entry);
    q.addBindValue(entry.id);
    return run(q) && q.numRowsAffected() == 1;
}

std::optional<DownloadEntry> takenBy(const QList<DownloadEntry> &rows, const DownloadEntry &entry)
{
    for (const DownloadEntry &e : rows) {
        if (e.soundId != entry.soundId)
            continue;
        const bool done =
            e.state == DownloadState::Done && !e.savedPath.isEmpty() && QFileInfo(e.savedPath).isFile();
        if (done || (isLive(e.state) && e.folder == entry.folder))
            return e;
    }
    return std::nullopt;
}

namespace {

bool saveProgress(const HistorySql &sql, const QList<DownloadEntry> &entries)
{
    QSqlQuery q = sql.query();
    q.prepare(QStringLiteral("UPDATE downloads SET bytes_done = ?, size = ?, owner_pid = ?, owner_start = ? "
                             "WHERE id = ?"));
    for (const DownloadEntry &e : entries) {
        q.addBindValue(e.bytesDone);
        q.addBindValue(e.size);
        q.addBindValue(isLive(e.state) ? qint64(::getpid()) : qint64(0));
        q.addBindValue(isLive(e.state) ? ownStart() : qint64(0));
        q.addBindValue(e.id);
        if (!sql.run(q))
            return false;
    }
    return true;
}

bool pauseOrphans(const HistorySql &sql)
{
    QSqlQuery live = sql.query();
    live.prepare(QStringLiteral("SELECT id, owner_pid, owner_start, part_path, bytes_done FROM downloads "
                                "WHERE state IN (?, ?)"));
    live.addBindValue(downloadStateName(DownloadState::Queued));
    live.addBindValue(downloadStateName(DownloadState::Running));
    if (!sql.run(live))
        return false;
    QSqlQuery pause = sql.query();
    pause.prepare(QStringLiteral(
        "UPDATE downloads SET state = ?, bytes_done = ?, owner_pid = 0, owner_start = 0 WHERE id = ?"));
    while (live.next()) {
        if (processAlive(live.value(1).toLongLong(), live.value(2).toLongLong()))
            continue;
        pause.addBindValue(downloadStateName(DownloadState::Paused));
        pause.addBindValue(partBytes(live.value(3).toString()).value_or(live.value(4).toLongLong()));
        pause.addBindValue(live.value(0));
        if (!sql.run(pause))
            return false;
    }
    return true;
}

JobOutcome body(const HistorySql &sql, const HistoryJob &job)
{
    using Kind = HistoryJob::Kind;
    const auto did = [](bool ok) { return ok ? JobOutcome::Done : JobOutcome::Failed; };
    const DownloadEntry entry = job.entries.value(0);
    switch (job.kind) {
    case Kind::Add:
        return did(sql.insert(entry));
    case Kind::AddUnlessTaken: {
        // Inside the write lock: no other program can claim the sound between the look and the insert.
        const QList<DownloadEntry> rows =
            sql.select(QStringLiteral("sound_id = ? AND state IN (?, ?, ?)"),
                       {entry.soundId, downloadStateName(DownloadState::Done),
                        downloadStateName(DownloadState::Queued), downloadStateName(DownloadState::Running)},
                       QStringLiteral("ORDER BY id DESC"));
        if (sql.lastError.isValid())
            return JobOutcome::Failed;
        return takenBy(rows, entry) ? JobOutcome::Lost : did(sql.insert(entry));
    }
    case Kind::Update:
        return did(sql.updateRow(entry));
    case Kind::UpdateIf: {
        const QList<DownloadEntry> now = sql.select(QStringLiteral("id = ?"), {entry.id});
        if (sql.lastError.isValid())
            return JobOutcome::Failed;
        if (now.isEmpty() || now.first().state != job.state)
            return JobOutcome::Lost;
        return did(sql.updateRow(entry));
    }
    case Kind::Progress:
        return did(saveProgress(sql, job.entries));
    case Kind::Remove: {
        QSqlQuery q = sql.query();
        q.prepare(QStringLiteral("DELETE FROM downloads WHERE id = ?"));
        q.addBindValue(entry.id);
        return did(sql.run(q));
    }
    case Kind::PauseOrphans:
        return did(pauseOrphans(sql));
    case Kind::HotRefresh:
        return did(insertHotRefresh(sql, job.hotRefresh));
    }
    return JobOutcome::Failed;
}

} // namespace

JobOutcome runJob(const HistorySql &sql, const HistoryJob &job)
{
    if (sql.readOnly)
        return JobOutcome::Failed;
    sql.lastError = QSqlError();
    // IMMEDIATE takes the write lock up front, so another program's writes
    // never make ours fail halfway.
    QSqlQuery begin = sql.query();
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return isBusyError(begin.lastError()) ? JobOutcome::Busy : JobOutcome::Failed;
    JobOutcome outcome = body(sql, job);
    if (outcome == JobOutcome::Done && sql.run(QStringLiteral("COMMIT")))
        return outcome;
    if (isBusyError(sql.lastError))
        outcome = JobOutcome::Busy;
    sql.run(QStringLiteral("ROLLBACK"));
    return outcome;
}
