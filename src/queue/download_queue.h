// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_entry.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

class DownloadHistory;
class SoundDownload;
class QTimer;

// Downloads in turn: at most maxRunning at once, the rest waiting in the
// order they came. Every entry lives in the history, which the queue keeps
// up to date; progress is written in batches, not on every chunk. Pausing
// stops a download and keeps its part file; continuing or retrying queues
// it again, and it goes on from the part file. Deleting the queue stops
// what runs, leaving those entries paused.
class DownloadQueue : public QObject
{
    Q_OBJECT

public:
    DownloadQueue(DownloadHistory &history, int maxRunning, QObject *parent = nullptr);
    ~DownloadQueue() override;

    void setMaxRunning(int maxRunning);
    int maxRunning() const { return m_maxRunning; }
    void setStallTimeout(std::chrono::milliseconds timeout) { m_stallTimeout = timeout; }
    // The pauses before retries of a dropped connection, for every later download.
    void setRetryDelays(std::vector<std::chrono::milliseconds> delays) { m_retryDelays = std::move(delays); }

    // Stores the entry as queued and starts it when its turn comes; returns its id.
    qint64 enqueue(DownloadEntry entry);
    // The same unless the history has the sound done or on its way (see
    // DownloadHistory::addUnlessTaken): then 0, and the entry that has it in taken.
    qint64 enqueueUnlessTaken(DownloadEntry entry, std::optional<DownloadEntry> *taken);
    // Stores an entry that failed before it could be queued (its sound could
    // not be analysed, say), so that the failure shows on its own row.
    qint64 addFailed(DownloadEntry entry, const QString &error);

    void pause(qint64 id); // queued or running: paused, part file kept
    // Paused, failed or cancelled: queued again. False when it was not
    // (another program may have taken it on first).
    bool resume(qint64 id);
    void resumeAll();       // every paused entry in the history
    void cancel(qint64 id); // queued, running or paused: cancelled, part file removed
    // Drops the entry from the history; with deleteFile its saved file
    // (or part file) goes too. A running one is stopped first.
    void remove(qint64 id, bool deleteFile);

    // The entry as it stands now, running ones with their live bytes.
    std::optional<DownloadEntry> entry(qint64 id) const;
    // Bytes per second over the last seconds; 0 unless running.
    double speed(qint64 id) const;
    int runningCount() const;
    int waitingCount() const;
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
    // A queued or running download stopped being so: done (result.ok()),
    // failed, paused or cancelled. Not for removed ones.
    void ended(qint64 id, const DownloadResult &result);
    // Nothing runs and nothing waits any more.
    void idle();

private:
    struct Running;
    // What an entry becomes when we stop its download ourselves.
    enum class Stop { No, Pause, Cancel, Remove, RemoveWithFile };

    qint64 store(DownloadEntry entry, std::optional<DownloadEntry> *taken);
    void startWaiting();
    void start(DownloadEntry entry);
    void stop(qint64 id, Stop how);
    void finish(qint64 id, const DownloadResult &result);
    void stopWaiting(DownloadEntry entry, DownloadState state);
    void writeProgress();
    void noteIdle();

    DownloadHistory &m_history;
    int m_maxRunning;
    std::chrono::milliseconds m_stallTimeout = std::chrono::seconds(30);
    std::vector<std::chrono::milliseconds> m_retryDelays = {std::chrono::milliseconds(500),
                                                            std::chrono::seconds(1), std::chrono::seconds(2)};
    std::map<qint64, std::unique_ptr<Running>> m_running;
    QList<qint64> m_waiting;
    QTimer *m_progressTimer = nullptr;
    QElapsedTimer m_clock;
    bool m_busy = false; // something ran or waited since the last idle()
};
