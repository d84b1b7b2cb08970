// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The history's database connection, shared by its opening and its queries.

#include "services/download_history.h"

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <functional>

Q_DECLARE_LOGGING_CATEGORY(lcHistory)

// What this program writes. Each step of migrate() takes a database one
// version up; a database newer than this is left alone.
inline constexpr int HistorySchemaVersion = 1;

// How an attempt to use a database file went.
enum class HistoryOpening { Ok, Damaged, Newer, Unusable };

struct DownloadHistory::Private
{
    QString connection;
    QSqlDatabase db;
    bool persistent = false;
    QString problem;
    QString movedAside;

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
    bool write(const std::function<bool()> &body) const
    {
        if (!run(QStringLiteral("BEGIN IMMEDIATE")))
            return false;
        if (body() && run(QStringLiteral("COMMIT")))
            return true;
        run(QStringLiteral("ROLLBACK"));
        return false;
    }

    HistoryOpening open(const QString &path);
    bool migrate();
    void openInMemory(const QString &why);
    void bind(QSqlQuery &q, const DownloadEntry &entry) const;
    QList<DownloadEntry> select(const QString &where, const QVariantList &values) const;
};
