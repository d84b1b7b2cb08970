// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Opening the history: a damaged file moved aside, a newer or unusable one
// replaced by memory, the schema brought up to date.
#include "services/download_history_p.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <atomic>

Q_LOGGING_CATEGORY(lcHistory, "vexa.history")

namespace {

// The first free "PATH.bad-STAMP", numbered when a second one comes in the same second.
QString asideName(const QString &path)
{
    const QString base = path + QStringLiteral(".bad-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + QStringLiteral("-wal")); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

} // namespace

HistoryOpening DownloadHistory::Private::open(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
        return HistoryOpening::Unusable;
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return file.exists() ? HistoryOpening::Damaged : HistoryOpening::Unusable;
    // The first read finds a file that is not a database at all.
    QSqlQuery q = query();
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        const QString code = q.lastError().nativeErrorCode();
        // Busy or locked is someone else's long write, not damage.
        return code == u"5" || code == u"6" ? HistoryOpening::Unusable : HistoryOpening::Damaged;
    }
    if (q.value(0).toInt() > HistorySchemaVersion)
        return HistoryOpening::Newer;
    q.finish();
    if (value(QStringLiteral("PRAGMA quick_check")).toString() != u"ok")
        return HistoryOpening::Damaged;
    if (value(QStringLiteral("PRAGMA journal_mode=WAL")).toString() != u"wal")
        return HistoryOpening::Unusable;
    run(QStringLiteral("PRAGMA synchronous=NORMAL"));
    return migrate() ? HistoryOpening::Ok : HistoryOpening::Unusable;
}

bool DownloadHistory::Private::migrate()
{
    return write([this] {
        // Read again inside the lock: another process may have just done it.
        int version = value(QStringLiteral("PRAGMA user_version")).toInt();
        if (version > HistorySchemaVersion)
            return false;
        if (version < 1) {
            const bool ok =
                run(QStringLiteral("CREATE TABLE downloads (id INTEGER PRIMARY KEY, sound_id TEXT NOT NULL, "
                                   "page_address TEXT, name TEXT, singer TEXT, file_url TEXT, folder TEXT, "
                                   "file_name TEXT, saved_path TEXT, part_path TEXT, size INTEGER NOT NULL, "
                                   "bytes_done INTEGER NOT NULL, state TEXT NOT NULL, error TEXT, "
                                   "created INTEGER, started INTEGER, ended INTEGER, tags TEXT, "
                                   "cover_url TEXT, owner_pid INTEGER NOT NULL DEFAULT 0, "
                                   "owner_start INTEGER NOT NULL DEFAULT 0)")) &&
                run(QStringLiteral("CREATE INDEX downloads_by_sound ON downloads (sound_id, state)")) &&
                run(QStringLiteral("CREATE INDEX downloads_by_state ON downloads (state)"));
            if (!ok)
                return false;
            version = 1;
        }
        // The next schema's step goes here: if (version < 2) { ...; version = 2; }
        return run(QStringLiteral("PRAGMA user_version = %1").arg(version));
    });
}

void DownloadHistory::Private::openInMemory(const QString &why)
{
    db.close();
    persistent = false;
    problem = why;
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.setConnectOptions();
    if (!db.open() || !migrate())
        qCWarning(lcHistory) << "no history even in memory:" << db.lastError().text();
}

DownloadHistory::DownloadHistory(const QString &path)
    : d(new Private)
{
    static std::atomic<int> serial{0};
    d->connection = QStringLiteral("download-history-%1").arg(++serial);
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connection);
    const QString file = path.isEmpty() ? defaultPath() : path;
    const QString shown = QDir::toNativeSeparators(file);
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        d->openInMemory(
            QCoreApplication::translate("DownloadHistory", "无法使用下载历史 %1，本次下载不会记入历史")
                .arg(shown));
        return;
    }
    // Two programs starting at once must not both make the schema, nor
    // take the other's half-made file for a damaged one.
    QLockFile openingLock(file + QStringLiteral(".lock"));
    if (!openingLock.tryLock(10000))
        qCWarning(lcHistory) << "opening without the lock:" << openingLock.error();
    HistoryOpening opening = d->open(file);
    if (opening == HistoryOpening::Damaged) {
        d->db.close();
        // Moved, never deleted: what is in it may still be saved by hand.
        const QString aside = asideName(file);
        if (QFile::rename(file, aside)) {
            for (const char *suffix : {"-wal", "-shm"})
                QFile::rename(file + QLatin1String(suffix), aside + QLatin1String(suffix));
            d->movedAside = aside;
            opening = d->open(file);
        }
    }
    switch (opening) {
    case HistoryOpening::Ok:
        d->persistent = true;
        if (!d->movedAside.isEmpty())
            d->problem = QCoreApplication::translate("DownloadHistory", "下载历史已损坏，已移到 %1 并新建")
                             .arg(QDir::toNativeSeparators(d->movedAside));
        break;
    case HistoryOpening::Newer:
        d->openInMemory(QCoreApplication::translate("DownloadHistory",
                                                    "下载历史 %1 来自更新版本的程序，本次下载不会记入历史")
                            .arg(shown));
        break;
    case HistoryOpening::Damaged:
    case HistoryOpening::Unusable:
        d->openInMemory(
            QCoreApplication::translate("DownloadHistory", "无法使用下载历史 %1，本次下载不会记入历史")
                .arg(shown));
        break;
    }
}

DownloadHistory::~DownloadHistory()
{
    d->db.close();
    d->db = QSqlDatabase(); // no handle may be left when the connection goes
    const QString connection = d->connection;
    delete d;
    QSqlDatabase::removeDatabase(connection);
}

QString DownloadHistory::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("history.sqlite"));
}

bool DownloadHistory::isPersistent() const
{
    return d->persistent;
}

QString DownloadHistory::problem() const
{
    return d->problem;
}

QString DownloadHistory::movedAside() const
{
    return d->movedAside;
}
