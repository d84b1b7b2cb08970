// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Opening the history: a damaged file moved aside, a newer or unusable one
// replaced by memory, the schema brought up to date.
#include "library/download_history_p.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextStream>
#include <QUrl>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// SQLite's own words are for developers (QT_LOGGING_RULES="vexa.history.warning=true");
// people are told through problem() and the busy notice.
Q_LOGGING_CATEGORY(lcHistory, "vexa.history", QtCriticalMsg)

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

// Why what stands at the lock's path is no lock file of ours, or empty
// when it is one (or nothing is there): waiting for it to go would only
// cost time.
QString foreignLock(const QString &lockPath)
{
    const QFileInfo info(lockPath);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (info.isDir())
        return QCoreApplication::translate("DownloadHistory", "是一个文件夹");
    if (info.isSymLink() || !info.isFile())
        return QCoreApplication::translate("DownloadHistory", "不是普通文件");
    QFile file(lockPath);
    if (!file.open(QIODevice::ReadOnly))
        return QCoreApplication::translate("DownloadHistory", "无法读取");
    // Ours start with the holder's pid; an empty one may be being written this instant.
    const QByteArray text = file.read(4096);
    if (text.isEmpty() && info.lastModified().secsTo(QDateTime::currentDateTime()) < 2)
        return {};
    bool isPid = false;
    text.left(text.indexOf('\n')).toLongLong(&isPid);
    return isPid ? QString() : QCoreApplication::translate("DownloadHistory", "不是本程序的锁文件");
}

// Whether a file can be opened for writing; modes do not stop root, so try.
bool canWrite(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno != EACCES && errno != EPERM && errno != EROFS;
    ::close(fd);
    return true;
}

// Whether new files can be made in a folder (the lock, SQLite's -wal and -shm).
bool canWriteIn(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".history-XXXXXX")));
    return probe.open();
}

// Why the history file cannot be written, or empty. SQLite makes -wal and
// -shm with the database's mode, so a file once read-only leaves them
// read-only after its own mode is mended: mend theirs too.
QString writeBlocked(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!canWriteIn(folder))
        return QCoreApplication::translate("DownloadHistory", "所在的文件夹 %1 不可写")
            .arg(QDir::toNativeSeparators(folder));
    if (!QFileInfo::exists(path))
        return {};
    if (!canWrite(path))
        return QCoreApplication::translate("DownloadHistory", "文件是只读的");
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString side = path + QLatin1String(suffix);
        if (QFileInfo::exists(side) && !canWrite(side) &&
            !(QFile::setPermissions(side, QFile::permissions(path)) && canWrite(side)))
            return QCoreApplication::translate("DownloadHistory", "%1 是只读的")
                .arg(QDir::toNativeSeparators(side));
    }
    return {};
}

} // namespace

bool DownloadHistory::Private::begin(bool wait) const
{
    const QDeadlineTimer patience(HistoryBusyPatienceMs);
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

HistoryOpening DownloadHistory::Private::open(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
        return HistoryOpening::Unusable;
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(HistoryBusyTimeoutMs));
    if (!db.open())
        return file.exists() ? HistoryOpening::Damaged : HistoryOpening::Unusable;
    // The first read finds a file that is not a database at all.
    QSqlQuery q = query();
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        // Busy or locked is someone else's long write, not damage.
        return isBusyError(q.lastError()) ? HistoryOpening::Busy : HistoryOpening::Damaged;
    }
    if (q.value(0).toInt() > HistorySchemaVersion)
        return HistoryOpening::Newer;
    q.finish();
    if (value(QStringLiteral("PRAGMA quick_check")).toString() != u"ok")
        return HistoryOpening::Damaged;
    if (value(QStringLiteral("PRAGMA journal_mode=WAL")).toString() != u"wal")
        return HistoryOpening::Busy;
    run(QStringLiteral("PRAGMA synchronous=NORMAL"));
    // Up to date: no write, so another program's long write does not hold up the start.
    if (value(QStringLiteral("PRAGMA user_version")).toInt() == HistorySchemaVersion)
        return HistoryOpening::Ok;
    return migrate() ? HistoryOpening::Ok : HistoryOpening::Unusable;
}

bool DownloadHistory::Private::openReadOnly(const QString &path)
{
    db.close();
    // Nothing waiting in a -wal: read the file alone, making no -wal or
    // -shm beside it (SQLite would make them read-only).
    const bool wal = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
    db.setDatabaseName(QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")) +
                       (wal ? QStringLiteral("?mode=ro") : QStringLiteral("?immutable=1")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1")
                             .arg(HistoryBusyTimeoutMs));
    if (!db.open() || !value(QStringLiteral("PRAGMA user_version")).isValid())
        return false;
    persistent = readOnly = true;
    return true;
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
        if (version < 2) {
            if (!createHotTables(*this))
                return false;
            version = 2;
        }
        // The next schema's step goes here: if (version < 3) { ...; version = 3; }
        return run(QStringLiteral("PRAGMA user_version = %1").arg(version));
    });
}

void DownloadHistory::Private::openInMemory(const QString &why)
{
    db.close();
    persistent = readOnly = false;
    problem = why;
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.setConnectOptions();
    if (!db.open() || !migrate())
        qCWarning(lcHistory) << "no history even in memory:" << db.lastError().text();
}

DownloadHistory::DownloadHistory(const QString &path, Use use)
    : d(new Private)
{
    d->file = path.isEmpty() ? defaultPath() : path;
    d->use = use;
    d->shown = QDir::toNativeSeparators(d->file);
}

DownloadHistory::Private *DownloadHistory::opened() const
{
    if (!d->opened) {
        d->opened = true;
        // Reads and writes look the same to callers whether or not it was open.
        auto *self = const_cast<DownloadHistory *>(this);
        self->open();
        if (d->onOpen)
            d->onOpen();
    }
    return d;
}

void DownloadHistory::open()
{
    static std::atomic<int> serial{0};
    d->connection = QStringLiteral("download-history-%1").arg(++serial);
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connection);
    const QString file = d->file;
    const Use use = d->use;
    // However the opening ends, the history is written through its writer.
    const auto writing = qScopeGuard([this, file] { d->startWriting(this, file); });
    const auto unusable = [&](const QString &why) {
        d->openInMemory(
            QCoreApplication::translate("DownloadHistory", "无法使用下载历史 %1（%2），本次下载不会记入历史")
                .arg(d->shown, why));
    };
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        unusable(QCoreApplication::translate("DownloadHistory", "无法创建它所在的文件夹"));
        return;
    }
    if (QFileInfo(file).isDir()) {
        unusable(QCoreApplication::translate("DownloadHistory", "是一个文件夹"));
        return;
    }
    if (const QString blocked = writeBlocked(file); !blocked.isEmpty()) {
        // Reading needs no lock and makes nothing; with no file there is nothing to read.
        if (use == Use::Read && (!QFileInfo::exists(file) || d->openReadOnly(file))) {
            if (!d->persistent)
                d->openInMemory({});
            return;
        }
        d->openInMemory(
            QCoreApplication::translate("DownloadHistory", "无法写入下载历史 %1（%2），本次下载不会记入历史")
                .arg(d->shown, blocked));
        return;
    }
    // Two programs starting at once must not both make the schema, nor
    // take the other's half-made file for a damaged one.
    const QString lockPath = file + QStringLiteral(".lock");
    QLockFile openingLock(lockPath);
    QString lockTrouble = foreignLock(lockPath);
    if (lockTrouble.isEmpty()) {
        const QDeadlineTimer patience(10000);
        while (!openingLock.tryLock(100)) {
            if (openingLock.error() != QLockFile::LockFailedError) {
                lockTrouble = QCoreApplication::translate("DownloadHistory", "无法创建");
                break;
            }
            // What is there may have changed into something else meanwhile.
            lockTrouble = foreignLock(lockPath);
            if (lockTrouble.isEmpty() && patience.hasExpired())
                lockTrouble = QCoreApplication::translate("DownloadHistory", "一直被另一个程序占用");
            if (!lockTrouble.isEmpty())
                break;
        }
    }
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
        if (use == Use::Read) {
            // Its rows still have the columns this program knows.
            d->persistent = d->readOnly = true;
            break;
        }
        d->openInMemory(QCoreApplication::translate("DownloadHistory",
                                                    "下载历史 %1 来自更新版本的程序，本次下载不会记入历史")
                            .arg(d->shown));
        break;
    case HistoryOpening::Busy:
        unusable(QCoreApplication::translate("DownloadHistory", "正被另一个程序占用"));
        break;
    case HistoryOpening::Damaged:
    case HistoryOpening::Unusable:
        unusable(d->db.lastError().isValid() ? d->db.lastError().text()
                                             : QCoreApplication::translate("DownloadHistory", "无法打开"));
        break;
    }
    if (!lockTrouble.isEmpty()) {
        const QString told = QCoreApplication::translate(
                                 "DownloadHistory", "下载历史的锁文件 %1 不可用（%2），已不加锁打开下载历史")
                                 .arg(QDir::toNativeSeparators(lockPath), lockTrouble);
        d->problem = d->problem.isEmpty()
                         ? told
                         : QCoreApplication::translate("DownloadHistory", "%1；%2").arg(told, d->problem);
    }
}

DownloadHistory::~DownloadHistory()
{
    if (!d->opened) {
        delete d;
        return;
    }
    if (!flush(d->exitPatience)) {
        QTextStream err(stderr);
        err << QCoreApplication::translate("DownloadHistory",
                                           "下载历史 %1 一直被另一个程序占用，有记录未能写入：")
                   .arg(d->shown)
            << Qt::endl;
        for (const HistoryJob &job : d->writer->abandon()) {
            if (job.kind == HistoryJob::Kind::HotRefresh)
                err << "  "
                    << QCoreApplication::translate("DownloadHistory", "热门列表（%1）")
                           .arg(QLocale().toString(job.hotRefresh.time.toLocalTime(), QLocale::ShortFormat))
                    << Qt::endl;
            for (const DownloadEntry &e : job.entries)
                err << "  " << entryTitle(e) << QStringLiteral(" (%1)").arg(e.id) << ": "
                    << (job.kind == HistoryJob::Kind::Remove
                            ? QCoreApplication::translate("DownloadHistory", "删除")
                            : downloadStateText(e.state))
                    << Qt::endl;
        }
    }
    d->writer.reset(); // before the connection it may write through
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
