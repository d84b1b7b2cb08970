// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_result.h"
#include "library/download_entry.h"
#include "library/download_history.h"
#include "queue/running_download.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

class QTimer;

// Downloads in turn: at most maxRunning at once, the rest waiting in the
// order they came. The queue owns each download from enqueue() to its end
// and is the only writer of its row in the history: the entry it was given
// stays in memory while it waits and runs, and every change of state is
// written only from the state the queue knows the row in, so a row another
// program took on meanwhile is left alone; one that the history finds taken
// only when it writes (lost) is stopped and left to that program. Progress is written in batches,
// not on every chunk. Pausing stops a download and keeps its part file;
// continuing or retrying queues it again from its row, and it goes on from
// the part file. Deleting the queue stops what runs, leaving those entries
// paused; a whole file being tagged is saved first.
class DownloadQueue : public QObject
{
    Q_OBJECT

public:
    DownloadQueue(DownloadHistory &history, int maxRunning, QObject *parent = nullptr);
    ~DownloadQueue() override;

    void setMaxRunning(int maxRunning);
    int maxRunning() const { return m_maxRunning; }
    void setStallTimeout(std::chrono::milliseconds timeout) { m_stallTimeout = timeout; }

    // Stores the entry as queued and starts it when its turn comes; returns
    // its id.
    Expected<qint64, StoreFailure> enqueue(DownloadEntry entry);
    // The same unless the history has the sound done or on its way (see
    // DownloadHistory::addUnlessTaken).
    Expected<qint64, StoreFailure> enqueueUnlessTaken(DownloadEntry entry);
    // A paused download of the same file as entry (sound, folder and name)
    // goes on from its part file on its own row, with entry's file address,
    // names and tags, which a fresh analysis may have renewed. Returns its
    // id, or none when there is none that another program has not taken on.
    std::optional<qint64> continuePaused(const DownloadEntry &entry);
    // Stores an entry that failed before it could be queued (its sound could
    // not be analysed, say), so that the failure shows on its own row.
    Expected<qint64, StoreFailure> addFailed(DownloadEntry entry, const QString &error);

    void pause(qint64 id); // queued or running: paused, part file kept
    // Paused, failed or cancelled: queued again. Moved when it was not
    // (another program may have taken it on first).
    Expected<void, StoreFailure> resume(qint64 id);
    void resumeAll();       // every paused entry in the history
    void cancel(qint64 id); // queued, running or paused: cancelled, part file removed
    // Drops the entry from the history; with deleteFile its saved file
    // (or part file) goes too. A running one is stopped first.
    void remove(qint64 id, bool deleteFile);

    // The entry as it stands now, running ones with their live bytes.
    std::optional<DownloadEntry> entry(qint64 id) const;
    // The running and waiting entries, as entry() gives them.
    QList<DownloadEntry> active() const;
    // False for a running download whose bytes a pause would lose: its
    // server gave nothing to continue from, so it starts again from zero.
    bool isContinuable(qint64 id) const
    {
        const auto found = m_running.find(id);
        return found == m_running.end() || found->second->isContinuable();
    }
    // Bytes per second over the last seconds; 0 unless running.
    double speed(qint64 id) const;
    int runningCount() const { return int(m_running.size()); }
    int waitingCount() const { return int(m_waiting.size()); }
    bool isIdle() const { return runningCount() == 0 && waitingCount() == 0; }

    DownloadHistory &history() const { return m_history; }

signals:
    void added(qint64 id);
    // State, bytes or error changed; bytes at most a few times a second.
    void changed(qint64 id);
    void removed(qint64 id);
    // A running download's connection broke off; try attempt of attempts
    // follows after a pause.
    void retrying(qint64 id, int attempt, int attempts);
    // A download of this queue ended: done, failed, paused or cancelled;
    // entry as written, result as the download (or the stop before it
    // started) gave it, for the words people read. Not for removed ones,
    // nor for those the queue's own end pauses.
    void ended(const DownloadEntry &entry, const DownloadResult &result);
    // Nothing runs and nothing waits any more.
    void idle();

private:
    enum class Claim { Any, UnlessTaken };
    Expected<qint64, StoreFailure> store(DownloadEntry entry, Claim claim);
    void wait(const DownloadEntry &entry);
    std::optional<DownloadEntry> takeWaiting(qint64 id);
    void startWaiting();
    void start(DownloadEntry entry);
    void stop(qint64 id, DownloadStop how);
    void finish(qint64 id, const DownloadResult &result);
    void stopWaiting(DownloadEntry entry, DownloadState state);
    void writeProgress();
    void noteIdle();
    // Another program took the row on first: stopped without a write.
    void onLost(qint64 id);
    void tellLost(DownloadEntry entry, const DownloadResult &stopped);

    DownloadHistory &m_history;
    int m_maxRunning;
    std::chrono::milliseconds m_stallTimeout = DefaultStallTimeout;
    std::map<qint64, std::unique_ptr<RunningDownload>> m_running;
    QList<DownloadEntry> m_waiting; // queued, in turn, as they will be started
    QTimer *m_progressTimer = nullptr;
    QElapsedTimer m_clock;
    bool m_busy = false; // something ran or waited since the last idle()
};
