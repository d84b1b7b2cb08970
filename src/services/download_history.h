// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "services/download_entry.h"

#include <QList>
#include <QString>

#include <optional>

// Every download the window and the command line started, kept in one
// SQLite database (WAL, a busy time-out, so both may use it at once).
// A database that cannot be opened or is damaged is moved aside, never
// deleted, and a new one made; when even that fails the history lives in
// memory for this run only, so downloads still work. Not thread-safe:
// use it from one thread.
class DownloadHistory
{
public:
    // path empty: defaultPath().
    explicit DownloadHistory(const QString &path = {});
    ~DownloadHistory();
    DownloadHistory(const DownloadHistory &) = delete;
    DownloadHistory &operator=(const DownloadHistory &) = delete;

    // history.sqlite in the program's data folder.
    static QString defaultPath();

    // False when the history is only in memory for this run; problem() says why.
    bool isPersistent() const;
    QString problem() const;
    // Where a damaged database was moved to, when one was; else empty.
    QString movedAside() const;

    // Stores a new entry (its id is ignored) and returns its id.
    qint64 add(const DownloadEntry &entry);
    // Writes every field of a stored entry.
    bool update(const DownloadEntry &entry);
    // Several entries' bytes in one transaction: for batched progress.
    bool saveProgress(const QList<DownloadEntry> &entries);
    bool remove(qint64 id);

    std::optional<DownloadEntry> entry(qint64 id) const;
    int count() const;
    // Newest first: rows offset .. offset + limit - 1.
    QList<DownloadEntry> page(int offset, int limit) const;
    // Where a newer-first row with this id sits, or -1.
    int rowOf(qint64 id) const;
    // The newest done download of the sound whose saved file still exists.
    std::optional<DownloadEntry> doneWithFile(const QString &soundId) const;
    // Paused entries, oldest first.
    QList<DownloadEntry> paused() const;

    // Entries left queued or running by a process that is gone (an
    // earlier run, ended cleanly or killed) become paused, their bytes
    // taken from the part file when it is there. Returns how many. Entries
    // are written with the id of the process that writes them, so a
    // command line running beside the window is left alone.
    int pauseOrphans();

private:
    struct Private;
    Private *d;
};
