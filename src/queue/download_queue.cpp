// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "queue/download_queue.h"

#include "library/download_history.h"
#include "download/sound_download.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <deque>

namespace {

// Rows are written and shown at most this often while bytes come in.
constexpr std::chrono::milliseconds ProgressInterval(500);
// Speed is measured over about this long.
constexpr qint64 SpeedWindowMs = 3000;

void removePart(const QString &partPath)
{
    if (partPath.isEmpty())
        return;
    QFile::remove(partPath);
    QFile::remove(partPath + QStringLiteral(".meta"));
}

DownloadResult stoppedBeforeStart(DownloadState state)
{
    DownloadResult result;
    result.error = DownloadError::Cancelled;
    result.detail = state == DownloadState::Cancelled
                        ? downloadFailureText(result)
                        : QCoreApplication::translate("DownloadQueue", "已暂停");
    return result;
}

} // namespace

struct DownloadQueue::Running
{
    SoundDownload *download = nullptr; // owned; deleted once it has finished
    DownloadEntry entry;               // as last written
    Stop stop = Stop::No;
    std::deque<std::pair<qint64, qint64>> samples; // (ms on the queue's clock, bytes)

    ~Running() { delete download; }

    // The entry with the bytes as they are now.
    DownloadEntry live() const
    {
        DownloadEntry e = entry;
        e.bytesDone = download->received();
        if (download->total() >= 0)
            e.size = download->total();
        return e;
    }
};

DownloadQueue::DownloadQueue(DownloadHistory &history, int maxRunning, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_maxRunning(std::max(1, maxRunning))
    , m_progressTimer(new QTimer(this))
{
    m_progressTimer->setInterval(ProgressInterval);
    connect(m_progressTimer, &QTimer::timeout, this, &DownloadQueue::writeProgress);
    m_clock.start();
}

DownloadQueue::~DownloadQueue()
{
    // What runs or waits is continued from its part file by a later run.
    for (auto &[id, running] : m_running) {
        SoundDownload *download = running->download;
        disconnect(download, nullptr, this, nullptr);
        download->abort();
        DownloadEntry e = running->live();
        if (!download->isRunning()) {
            e.partPath = download->result().partPath;
            if (e.partPath.isEmpty())
                e.bytesDone = 0; // nothing kept to continue from
        }
        e.state = DownloadState::Paused;
        m_history.update(e);
    }
    m_running.clear(); // a download still tagging finishes its file first
    for (qint64 id : std::as_const(m_waiting)) {
        if (std::optional<DownloadEntry> e = m_history.entry(id)) {
            e->state = DownloadState::Paused;
            m_history.update(*e);
        }
    }
}

void DownloadQueue::setMaxRunning(int maxRunning)
{
    m_maxRunning = std::max(1, maxRunning);
    startWaiting();
}

qint64 DownloadQueue::enqueue(DownloadEntry entry)
{
    return store(std::move(entry), nullptr);
}

qint64 DownloadQueue::enqueueUnlessTaken(DownloadEntry entry, std::optional<DownloadEntry> *taken)
{
    return store(std::move(entry), taken);
}

qint64 DownloadQueue::store(DownloadEntry entry, std::optional<DownloadEntry> *taken)
{
    entry.state = DownloadState::Queued;
    if (!entry.created.isValid())
        entry.created = QDateTime::currentDateTime();
    entry.id = taken ? m_history.addUnlessTaken(entry, taken) : m_history.add(entry);
    if (entry.id <= 0)
        return 0;
    m_waiting.append(entry.id);
    m_busy = true;
    emit added(entry.id);
    startWaiting();
    return entry.id;
}

qint64 DownloadQueue::addFailed(DownloadEntry entry, const QString &error)
{
    entry.state = DownloadState::Failed;
    entry.error = error;
    entry.created = entry.ended = QDateTime::currentDateTime();
    entry.id = m_history.add(entry);
    if (entry.id > 0)
        emit added(entry.id);
    return entry.id;
}

void DownloadQueue::startWaiting()
{
    while (int(m_running.size()) < m_maxRunning && !m_waiting.isEmpty()) {
        const std::optional<DownloadEntry> e = m_history.entry(m_waiting.takeFirst());
        if (e && e->state == DownloadState::Queued)
            start(*e);
    }
}

void DownloadQueue::start(DownloadEntry entry)
{
    DownloadRequest request = downloadRequestOf(entry);
    request.stallTimeout = m_stallTimeout;
    request.retryDelays = m_retryDelays;
    auto running = std::make_unique<Running>();
    SoundDownload *download = running->download = new SoundDownload(std::move(request));
    const qint64 id = entry.id;
    connect(download, &SoundDownload::finished, this,
            [this, id](const DownloadResult &result) { finish(id, result); });
    connect(download, &SoundDownload::retrying, this,
            [this, id](int attempt, int attempts) { emit retrying(id, attempt, attempts); });
    download->start();
    entry.state = DownloadState::Running;
    if (!entry.started.isValid())
        entry.started = QDateTime::currentDateTime();
    entry.error.clear();
    entry.partPath = download->partPath();
    running->entry = entry;
    entry = running->live();
    running->entry = entry;
    running->samples.emplace_back(m_clock.elapsed(), entry.bytesDone);
    m_running[id] = std::move(running);
    m_history.update(entry);
    if (!m_progressTimer->isActive())
        m_progressTimer->start();
    emit changed(id);
}

void DownloadQueue::finish(qint64 id, const DownloadResult &result)
{
    const auto found = m_running.find(id);
    if (found == m_running.end())
        return;
    std::unique_ptr<Running> running = std::move(found->second);
    m_running.erase(found);
    DownloadEntry e = running->live();
    disconnect(running->download, nullptr, this, nullptr);
    running->download->deleteLater(); // may be inside its own signal
    running->download = nullptr;

    e.bytesDone = result.bytes;
    e.partPath = result.partPath;
    e.error.clear();
    if (result.ok()) {
        e.state = DownloadState::Done;
        e.savedPath = result.filePath;
        e.size = result.bytes;
        e.ended = QDateTime::currentDateTime();
    } else if (running->stop == Stop::Cancel) {
        removePart(result.partPath);
        e.partPath.clear();
        e.state = DownloadState::Cancelled;
        e.ended = QDateTime::currentDateTime();
    } else if (running->stop != Stop::No || result.error == DownloadError::Cancelled) {
        // Paused by the user, or the program is ending: the part goes on later.
        e.state = DownloadState::Paused;
    } else {
        e.state = DownloadState::Failed;
        e.error = downloadFailureText(result);
        e.ended = QDateTime::currentDateTime();
    }
    if (e.partPath.isEmpty() && !result.ok())
        e.bytesDone = 0; // nothing kept to continue from

    if (running->stop == Stop::Remove || running->stop == Stop::RemoveWithFile) {
        m_history.remove(id);
        if (running->stop == Stop::RemoveWithFile) {
            if (result.ok())
                QFile::remove(result.filePath);
            removePart(result.partPath);
        }
        emit removed(id);
    } else {
        m_history.update(e);
        emit changed(id);
        emit ended(id, result);
    }
    if (m_running.empty())
        m_progressTimer->stop();
    startWaiting();
    noteIdle();
}

void DownloadQueue::stop(qint64 id, Stop how)
{
    const auto found = m_running.find(id);
    if (found == m_running.end())
        return;
    Running &running = *found->second;
    running.stop = how;
    running.download->abort();
    // Stopped at once, unless the whole body is being tagged: then it is
    // saved first and finished() tells.
    if (!running.download->isRunning())
        finish(id, running.download->result());
}

void DownloadQueue::stopWaiting(DownloadEntry entry, DownloadState state)
{
    m_waiting.removeOne(entry.id);
    entry.state = state;
    if (state == DownloadState::Cancelled) {
        removePart(entry.partPath);
        entry.partPath.clear();
        entry.bytesDone = 0;
        entry.ended = QDateTime::currentDateTime();
    }
    m_history.update(entry);
    emit changed(entry.id);
    emit ended(entry.id, stoppedBeforeStart(state));
    noteIdle();
}

void DownloadQueue::pause(qint64 id)
{
    if (m_running.count(id)) {
        stop(id, Stop::Pause);
        return;
    }
    const std::optional<DownloadEntry> e = m_history.entry(id);
    if (e && e->state == DownloadState::Queued)
        stopWaiting(*e, DownloadState::Paused);
}

bool DownloadQueue::resume(qint64 id)
{
    std::optional<DownloadEntry> e = m_history.entry(id);
    if (!e || m_running.count(id) ||
        (e->state != DownloadState::Paused && e->state != DownloadState::Failed &&
         e->state != DownloadState::Cancelled))
        return false;
    const DownloadState was = e->state;
    e->state = DownloadState::Queued;
    e->error.clear();
    e->ended = QDateTime();
    // Only if no other program has taken it on since it was read.
    if (!m_history.updateIf(*e, was))
        return false;
    m_waiting.append(id);
    m_busy = true;
    emit changed(id);
    startWaiting();
    return true;
}

void DownloadQueue::resumeAll()
{
    for (const DownloadEntry &e : m_history.paused())
        resume(e.id);
}

void DownloadQueue::cancel(qint64 id)
{
    if (m_running.count(id)) {
        stop(id, Stop::Cancel);
        return;
    }
    const std::optional<DownloadEntry> e = m_history.entry(id);
    if (e && (e->state == DownloadState::Queued || e->state == DownloadState::Paused ||
              e->state == DownloadState::Failed))
        stopWaiting(*e, DownloadState::Cancelled);
}

void DownloadQueue::remove(qint64 id, bool deleteFile)
{
    if (m_running.count(id)) {
        stop(id, deleteFile ? Stop::RemoveWithFile : Stop::Remove);
        return;
    }
    const std::optional<DownloadEntry> e = m_history.entry(id);
    if (!e)
        return;
    m_waiting.removeOne(id);
    m_history.remove(id);
    if (deleteFile) {
        if (e->state == DownloadState::Done)
            QFile::remove(e->savedPath);
        else
            removePart(e->partPath);
    }
    emit removed(id);
    noteIdle();
}

std::optional<DownloadEntry> DownloadQueue::entry(qint64 id) const
{
    const auto found = m_running.find(id);
    if (found != m_running.end())
        return found->second->live();
    return m_history.entry(id);
}

double DownloadQueue::speed(qint64 id) const
{
    const auto found = m_running.find(id);
    if (found == m_running.end() || found->second->samples.size() < 2)
        return 0;
    const auto &samples = found->second->samples;
    const qint64 ms = samples.back().first - samples.front().first;
    const qint64 bytes = samples.back().second - samples.front().second;
    // A retry that starts again goes back: no speed to tell then.
    return ms > 0 && bytes > 0 ? double(bytes) * 1000 / double(ms) : 0;
}

int DownloadQueue::runningCount() const
{
    return int(m_running.size());
}

int DownloadQueue::waitingCount() const
{
    return int(m_waiting.size());
}

void DownloadQueue::writeProgress()
{
    const qint64 now = m_clock.elapsed();
    QList<DownloadEntry> moved;
    for (auto &[id, running] : m_running) {
        const DownloadEntry e = running->live();
        auto &samples = running->samples;
        samples.emplace_back(now, e.bytesDone);
        while (samples.size() > 2 && now - samples[1].first >= SpeedWindowMs)
            samples.pop_front();
        if (e.bytesDone != running->entry.bytesDone || e.size != running->entry.size) {
            running->entry = e;
            moved.append(e);
        }
    }
    // One transaction for all of them.
    m_history.saveProgress(moved);
    for (const DownloadEntry &e : std::as_const(moved))
        emit changed(e.id);
}

void DownloadQueue::noteIdle()
{
    if (m_busy && isIdle()) {
        m_busy = false;
        emit idle();
    }
}
