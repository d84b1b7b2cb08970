// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The history's database connection, shared by its opening and its queries.

#include "library/download_history.h"

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <QDeadlineTimer>

#include <functional>

Q_DECLARE_LOGGING_CATEGORY(lcHistory)

// What this program writes. Each step of migrate() takes a database one
// version up; a database newer than this is left alone.
inline constexpr int HistorySchemaVersion = 1;

// How an attempt to use a database file went.
enum class HistoryOpening { Ok, Damaged, Newer, Busy, Unusable };

// How long one statement waits for another program's write to end.
inline constexpr int HistoryBusyTimeoutMs = 5000;
// How long a write waits for another program to let go of the file
// before its row is given up.
inline constexpr int HistoryBusyPatienceMs = 10 * 60 * 1000;

// SQLite's SQLITE_BUSY and SQLITE_LOCKED: someone else is writing.
inline bool isBusyError(const QSqlError &error)
{
    return error.nativeErrorCode() == u"5" || error.nativeErrorCode() == u"6";
}

struct DownloadHistory::Private
{
    QString connection;
    QSqlDatabase db;
    bool persistent = false;
    QString problem;
    QString movedAside;
    QString shown; // the file as messages name it
    bool readOnly = false;
    mutable bool busy = false; // the last write found another program holding the file
    std::function<void(const QString &)> busyNotice;
    int patienceMs = HistoryBusyPatienceMs;

    QSqlQuery query() const { return QSqlQuery(db); }

    bool run(QSqlQuery &q) const
    {
        if (q.exec())
            return true;
        qCWarning(lcHistory) << q.lastQuery() << q.lastError().text();
        return false;
    }
    bool run(const QString &statement) const
    {
        QSqlQuery q = query();
        if (q.exec(statement))
            return true;
        qCWarning(lcHistory) << statement << q.lastError().text();
        return false;
    }
    QVariant value(const QString &statement) const
    {
        QSqlQuery q = query();
        return q.exec(statement) && q.next() ? q.value(0) : QVariant();
    }

    // Runs body as one write transaction. IMMEDIATE takes the write lock up
    // front (waiting out the busy time-out), so another process's writes
    // never make ours fail halfway.
    bool write(const std::function<bool()> &body, bool wait = true) const
    {
        if (readOnly || !begin(wait))
            return false;
        if (body() && run(QStringLiteral("COMMIT")))
            return true;
        run(QStringLiteral("ROLLBACK"));
        return false;
    }

    // BEGIN IMMEDIATE, waiting out another program's long write (told
    // once through busyNotice) rather than losing the row; without wait,
    // one try (at once while the file is known busy).
    bool begin(bool wait) const;
    void tellBusy(const QString &text) const
    {
        if (busyNotice)
            busyNotice(text);
    }

    HistoryOpening open(const QString &path);
    bool openReadOnly(const QString &path);
    bool migrate();
    void openInMemory(const QString &why);
    void bind(QSqlQuery &q, const DownloadEntry &entry) const;
    qint64 insert(const DownloadEntry &entry) const; // 0 when not stored
    bool updateRow(const DownloadEntry &entry) const;
    QList<DownloadEntry> select(const QString &where, const QVariantList &values) const;
};
