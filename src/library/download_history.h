// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_entry.h"
#include "library/hot_chart.h"
#include "util/expected.h"

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

// Why the history did not store an entry.
enum class StoreRefusal {
    ReadOnly, // the history is only read: newer than the program, or not ours to write
    Taken,    // the sound is taken care of; the entry that has it is the detail
    Moved,    // the stored entry is no longer in the state it was known in
};
using StoreFailure = Failure<StoreRefusal, DownloadEntry>;

// Every download the window and the command line started, kept in one
// SQLite database (WAL, a busy time-out, so both may use it at once).
// A database that cannot be opened or is damaged is moved aside, never
// deleted, and a new one made; when even that fails the history lives in
// memory for this run only, so downloads still work. Not thread-safe:
// use it from one thread.
//
// Writes never wait: they are handed to a thread of the history's own,
// which writes them in order and waits as long as another program holds
// the file. Reads are answered at once, and see the writes not yet
// committed.
class DownloadHistory : public QObject
{
    Q_OBJECT

public:
    // Reading: a file this program may not write (read-only, in a
    // read-only folder, from a newer program) is read as it is.
    enum class Use { Write, Read };

    // path empty: defaultPath(). The file is opened on first use, so a run
    // that never looks at the history never pays for it.
    explicit DownloadHistory(const QString &path = {}, Use use = Use::Write);
    // Called once, right after the file is opened: pausing orphans, telling
    // a problem.
    void setOnOpen(std::function<void()> onOpen);
    // Waits until every write is committed, at most exitPatience.
    ~DownloadHistory() override;
    DownloadHistory(const DownloadHistory &) = delete;
    DownloadHistory &operator=(const DownloadHistory &) = delete;

    // history.sqlite in the program's data folder.
    static QString defaultPath();

    // False when the history is only in memory for this run; problem() says why.
    bool isPersistent() const;
    QString problem() const;
    // Where a damaged database was moved to, when one was; else empty.
    QString movedAside() const;
    // Told once when writes have to wait for another program holding the
    // file, again when they went through, and when a write fails.
    void setNotice(std::function<void(const QString &)> notice);
    // How long the end waits for writes another program holds up; what is
    // left is told on stderr. No limit by default, for a command line that
    // has nothing else to do.
    void setExitPatience(std::chrono::milliseconds patience);
    // Waits until every write handed over so far is committed (or failed
    // and told); false when the limit came first.
    bool flush(std::chrono::milliseconds limit = std::chrono::milliseconds::max());
    // addUnlessTaken() waits for its claim to be written, so a sound another
    // program claimed meanwhile comes back as taken rather than lost(): for
    // a command line, which has nothing else to do.
    void setExactClaims(bool exact) { m_exactClaims = exact; }

    // Stores a new entry (its id is ignored) and returns its new id, chosen
    // here: growing with time, and unique among programs writing the file.
    Expected<qint64, StoreFailure> add(const DownloadEntry &entry);
    // Stores a new entry unless the sound is already taken care of: done
    // with its file still there, or on its way to the same folder in a
    // process that is still running (Taken). Checked again when written:
    // another program that took the sound meanwhile makes it lost().
    Expected<qint64, StoreFailure> addUnlessTaken(const DownloadEntry &entry);
    // Writes every field of a stored entry.
    void update(const DownloadEntry &entry);
    // The same, only while the stored entry is still in state: another
    // program may have taken it on meanwhile. Moved when it is not as
    // read now; when it is not as written, lost() tells.
    Expected<void, StoreFailure> updateIf(const DownloadEntry &entry, DownloadState state);
    // Several entries' bytes in one transaction: for batched progress.
    void saveProgress(const QList<DownloadEntry> &entries);
    void remove(qint64 id);

    // Entries left queued or running by a process that is gone read as
    // paused, whether or not pauseOrphans() has written them so.
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
    // taken from the part file when it is there. Entries are written with
    // the id of the process that writes them, so a command line running
    // beside the window is left alone.
    void pauseOrphans();

    // The hot list's refreshes (hot_chart.cpp). Records one, keeping the
    // newest HotChartKept, and returns the one before it, if any: written
    // like the downloads, never waiting.
    std::optional<HotChartRefresh> recordHotRefresh(const HotChartRefresh &refresh);
    // The newest refresh, including this program's last one not yet written.
    std::optional<HotChartRefresh> latestHotRefresh() const;
    // The written refreshes, newest first, at most limit.
    QList<HotChartRefresh> hotRefreshes(int limit = HotChartKept) const;

signals:
    // Another program took the row on (or the sound, for addUnlessTaken)
    // before this one's write reached the file: nothing more is written
    // for it.
    void lost(qint64 id);

private:
    struct Private;
    // Opens the file the first time.
    Private *opened() const;
    void open();

    Private *d;
    bool m_exactClaims = false;
};
