// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The history's reading connection, shared by its opening and its queries;
// writes go through the writer.

#include "library/download_history.h"
#include "library/history_sql.h"
#include "library/history_writer.h"

#include <QDeadlineTimer>

#include <functional>
#include <memory>

// What this program writes. Each step of migrate() takes a database one
// version up; a database newer than this is left alone.
inline constexpr int HistorySchemaVersion = 2;

// How an attempt to use a database file went.
enum class HistoryOpening { Ok, Damaged, Newer, Busy, Unusable };

// How long one statement waits for another program's write to end.
inline constexpr int HistoryBusyTimeoutMs = 5000;
// How long making the schema waits for another program to let go of the file.
inline constexpr int HistoryBusyPatienceMs = 10 * 60 * 1000;
// How long a read waits for another program: in WAL mode only a rare
// checkpoint or recovery holds readers up, and the window must not wait.
inline constexpr int HistoryReadTimeoutMs = 20;

struct DownloadHistory::Private : HistorySql
{
    QString file;
    Use use = Use::Write;
    bool opened = false;
    std::function<void()> onOpen;
    QString connection;
    bool persistent = false;
    QString problem;
    QString movedAside;
    QString shown;             // the file as messages name it
    mutable bool busy = false; // the last write found another program holding the file
    std::function<void(const QString &)> notice;
    std::chrono::milliseconds exitPatience = std::chrono::milliseconds::max();
    // Set once the file is open; every write after that goes through it.
    std::unique_ptr<HistoryWriter> writer;
    // The hot-list refresh this program recorded last, for reads before it is written.
    std::optional<HotChartRefresh> postedHot;

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
    // once through notice) rather than losing the row; without wait,
    // one try (at once while the file is known busy).
    bool begin(bool wait) const;
    void tellBusy(const QString &text) const
    {
        if (notice)
            notice(text);
    }

    HistoryOpening open(const QString &path);
    bool openReadOnly(const QString &path);
    bool migrate();
    void openInMemory(const QString &why);
    // The writer, once the file is open: on a thread of its own for a file.
    void startWriting(DownloadHistory *owner, const QString &path);
    // Rows of the file, with the writes not yet committed in their place.
    QList<DownloadEntry> rows(const HistoryWriter::Pending &pending, QString where, QVariantList values,
                              const QString &tail = {}) const;
    int countWhere(const HistoryWriter::Pending &pending, const QString &where,
                   const QVariantList &values) const;
};
