// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "queue/download_queue.h"

#include "download/sound_download.h"
#include "library/download_history.h"
#include "queue/running_download.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <algorithm>

namespace {

// Rows are written and shown at most this often while bytes come in.
constexpr std::chrono::milliseconds ProgressInterval(500);
// Speed is measured over about this long.
constexpr qint64 SpeedWindowMs = 3000;

} // namespace

DownloadQueue::DownloadQueue(DownloadHistory &history, int maxRunning, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_maxRunning(std::max(1, maxRunning))
    , m_progressTimer(new QTimer(this))
{
    m_progressTimer->setInterval(ProgressInterval);
    connect(m_progressTimer, &QTimer::timeout, this, &DownloadQueue::writeProgress);
    connect(&history, &DownloadHistory::lost, this, &DownloadQueue::onLost);
    m_clock.start();
}

DownloadQueue::~DownloadQueue()
{
    // What runs or waits is continued from its part file by a later run.
    for (auto &[id, running] : m_running) {
        SoundDownload *download = running->download;
        disconnect(download, nullptr, this, nullptr);
        running->stop = DownloadStop::Pause;
        download->abort();
        // A whole body being tagged is saved now, so that the row tells the
        // file and not a part that has just become it.
        download->finishTagging();
        DownloadEntry e = running->live();
        if (download->isRunning())
            e.state = DownloadState::Paused;
        else
            e = running->atEnd(download->result());
        m_history.updateIf(e, DownloadState::Running);
    }
    m_running.clear();
    for (DownloadEntry &e : m_waiting) {
        e.state = DownloadState::Paused;
        m_history.updateIf(e, DownloadState::Queued);
    }
}

void DownloadQueue::setMaxRunning(int maxRunning)
{
    m_maxRunning = std::max(1, maxRunning);
    startWaiting();
}

Expected<qint64, StoreFailure> DownloadQueue::enqueue(DownloadEntry entry)
{
    return store(std::move(entry), Claim::Any);
}

Expected<qint64, StoreFailure> DownloadQueue::enqueueUnlessTaken(DownloadEntry entry)
{
    return store(std::move(entry), Claim::UnlessTaken);
}

Expected<qint64, StoreFailure> DownloadQueue::store(DownloadEntry entry, Claim claim)
{
    entry.state = DownloadState::Queued;
    if (!entry.created.isValid())
        entry.created = QDateTime::currentDateTime();
    const auto stored = claim == Claim::UnlessTaken ? m_history.addUnlessTaken(entry) : m_history.add(entry);
    if (!stored)
        return stored;
    entry.id = *stored;
    m_waiting.append(entry);
    m_busy = true;
    emit added(entry.id);
    startWaiting();
    return entry.id;
}

std::optional<qint64> DownloadQueue::continuePaused(const DownloadEntry &entry)
{
    for (DownloadEntry paused : m_history.paused()) {
        if (paused.soundId != entry.soundId || paused.folder != entry.folder ||
            paused.fileName != entry.fileName)
            continue;
        paused.fileUrl = entry.fileUrl;
        paused.name = entry.name;
        paused.singer = entry.singer;
        paused.tags = entry.tags;
        paused.coverUrl = entry.coverUrl;
        paused.state = DownloadState::Queued;
        paused.error.clear();
        paused.ended = QDateTime();
        // Another program may be continuing it already: then it is not ours.
        if (!m_history.updateIf(paused, DownloadState::Paused))
            continue;
        emit changed(paused.id);
        wait(paused);
        return paused.id;
    }
    return std::nullopt;
}

Expected<qint64, StoreFailure> DownloadQueue::addFailed(DownloadEntry entry, const QString &error)
{
    entry.state = DownloadState::Failed;
    entry.error = error;
    entry.created = entry.ended = QDateTime::currentDateTime();
    const auto stored = m_history.add(entry);
    if (stored)
        emit added(*stored);
    return stored;
}

void DownloadQueue::wait(const DownloadEntry &entry)
{
    m_waiting.append(entry);
    m_busy = true;
    startWaiting();
}

std::optional<DownloadEntry> DownloadQueue::takeWaiting(qint64 id)
{
    for (qsizetype n = 0; n < m_waiting.size(); ++n) {
        if (m_waiting[n].id == id)
            return m_waiting.takeAt(n);
    }
    return std::nullopt;
}

void DownloadQueue::startWaiting()
{
    while (int(m_running.size()) < m_maxRunning && !m_waiting.isEmpty())
        start(m_waiting.takeFirst());
}

void DownloadQueue::start(DownloadEntry entry)
{
    // The entry kept since it was queued, not its row: the row has no cover.
    DownloadRequest request = downloadRequestOf(entry);
    request.stallTimeout = m_stallTimeout;
    auto running = std::make_unique<RunningDownload>();
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
    m_history.updateIf(entry, DownloadState::Queued);
    if (!m_progressTimer->isActive())
        m_progressTimer->start();
    emit changed(id);
}

void DownloadQueue::finish(qint64 id, const DownloadResult &result)
{
    const auto found = m_running.find(id);
    if (found == m_running.end())
        return;
    std::unique_ptr<RunningDownload> running = std::move(found->second);
    m_running.erase(found);
    const DownloadEntry e = running->atEnd(result);
    disconnect(running->download, nullptr, this, nullptr);
    running->download->deleteLater(); // may be inside its own signal
    running->download = nullptr;

    const QString partPath = result ? QString() : result.error().detail.partPath;
    if (running->stop == DownloadStop::Cancel)
        removePart(partPath);
    if (running->stop == DownloadStop::Lost) {
        tellLost(e, result);
    } else if (running->stop == DownloadStop::Remove || running->stop == DownloadStop::RemoveWithFile) {
        m_history.remove(id);
        if (running->stop == DownloadStop::RemoveWithFile) {
            if (result)
                QFile::remove(result->filePath);
            removePart(partPath);
        }
        emit removed(id);
    } else {
        m_history.updateIf(e, DownloadState::Running);
        emit changed(id);
        emit ended(e, result);
    }
    if (m_running.empty())
        m_progressTimer->stop();
    startWaiting();
    noteIdle();
}

void DownloadQueue::stop(qint64 id, DownloadStop how)
{
    const auto found = m_running.find(id);
    if (found == m_running.end())
        return;
    RunningDownload &running = *found->second;
    running.stop = how;
    running.download->abort();
    // Stopped at once, unless the whole body is being tagged: then it is
    // saved first and finished() tells.
    if (!running.download->isRunning())
        finish(id, running.download->result());
}

void DownloadQueue::stopWaiting(DownloadEntry entry, DownloadState state)
{
    const DownloadState was = entry.state;
    const QString partPath = entry.partPath;
    entry.state = state;
    if (state == DownloadState::Cancelled) {
        entry.partPath.clear();
        entry.bytesDone = 0;
        entry.ended = QDateTime::currentDateTime();
    }
    // A row of the history (not one waiting here) may have been taken on by
    // another program since it was read: then it is not ours to stop.
    if (!m_history.updateIf(entry, was) && was != DownloadState::Queued) {
        emit changed(entry.id);
        return;
    }
    if (state == DownloadState::Cancelled)
        removePart(partPath);
    emit changed(entry.id);
    emit ended(entry, stoppedBeforeStart(state));
    noteIdle();
}

void DownloadQueue::pause(qint64 id)
{
    if (m_running.count(id))
        stop(id, DownloadStop::Pause);
    else if (std::optional<DownloadEntry> waiting = takeWaiting(id))
        stopWaiting(*waiting, DownloadState::Paused);
}

Expected<void, StoreFailure> DownloadQueue::resume(qint64 id)
{
    // Already on its way.
    if (m_running.count(id) || std::any_of(m_waiting.cbegin(), m_waiting.cend(),
                                           [id](const DownloadEntry &e) { return e.id == id; }))
        return unexpected(StoreRefusal::Moved, entry(id).value_or(DownloadEntry{}));
    // Continued from its row: it may be an earlier run's.
    std::optional<DownloadEntry> e = m_history.entry(id);
    if (!e || (e->state != DownloadState::Paused && e->state != DownloadState::Failed &&
               e->state != DownloadState::Cancelled))
        return unexpected(StoreRefusal::Moved, e.value_or(DownloadEntry{}));
    const DownloadState was = e->state;
    e->state = DownloadState::Queued;
    e->error.clear();
    e->ended = QDateTime();
    // Only if no other program has taken it on since it was read.
    if (auto updated = m_history.updateIf(*e, was); !updated)
        return updated;
    emit changed(id);
    wait(*e);
    return {};
}

void DownloadQueue::resumeAll()
{
    for (const DownloadEntry &e : m_history.paused())
        (void)resume(e.id); // one another program took on is its to run
}

void DownloadQueue::cancel(qint64 id)
{
    if (m_running.count(id)) {
        stop(id, DownloadStop::Cancel);
        return;
    }
    if (std::optional<DownloadEntry> waiting = takeWaiting(id)) {
        stopWaiting(*waiting, DownloadState::Cancelled);
        return;
    }
    const std::optional<DownloadEntry> e = m_history.entry(id);
    if (e && (e->state == DownloadState::Paused || e->state == DownloadState::Failed))
        stopWaiting(*e, DownloadState::Cancelled);
}

void DownloadQueue::remove(qint64 id, bool deleteFile)
{
    if (m_running.count(id)) {
        stop(id, deleteFile ? DownloadStop::RemoveWithFile : DownloadStop::Remove);
        return;
    }
    std::optional<DownloadEntry> e = takeWaiting(id);
    if (!e)
        e = m_history.entry(id);
    if (!e)
        return;
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
    for (const DownloadEntry &waiting : m_waiting) {
        if (waiting.id == id)
            return waiting;
    }
    return m_history.entry(id);
}

QList<DownloadEntry> DownloadQueue::active() const
{
    QList<DownloadEntry> entries;
    for (const auto &[id, running] : m_running)
        entries.append(running->live());
    return entries + m_waiting;
}

double DownloadQueue::speed(qint64 id) const
{
    const auto found = m_running.find(id);
    return found == m_running.end() ? 0 : found->second->speed();
}

void DownloadQueue::writeProgress()
{
    const qint64 now = m_clock.elapsed();
    QList<DownloadEntry> moved;
    for (auto &[id, running] : m_running) {
        const DownloadEntry e = running->live();
        running->sample(now, e.bytesDone, SpeedWindowMs);
        if (e.bytesDone != running->entry.bytesDone || e.size != running->entry.size) {
            running->entry = e;
            moved.append(e);
        }
    }
    // One transaction for all of them; bytes only, so no state is overwritten.
    m_history.saveProgress(moved);
    for (const DownloadEntry &e : std::as_const(moved))
        emit changed(e.id);
}

void DownloadQueue::onLost(qint64 id)
{
    if (m_running.count(id)) {
        stop(id, DownloadStop::Lost); // finish() tells
    } else if (std::optional<DownloadEntry> waiting = takeWaiting(id)) {
        tellLost(*waiting, stoppedBeforeStart(DownloadState::Cancelled));
        noteIdle();
    }
}

void DownloadQueue::tellLost(DownloadEntry entry, const DownloadResult &stopped)
{
    DownloadFailure failure{DownloadError::TakenOver};
    if (!stopped)
        failure.detail = stopped.error().detail;
    const DownloadResult result = Unexpected(failure);
    entry.state = DownloadState::Cancelled;
    // As the other program wrote it, when it has a row; else it is gone.
    const std::optional<DownloadEntry> row = m_history.entry(entry.id);
    emit ended(row.value_or(entry), result);
    row ? emit changed(entry.id) : emit removed(entry.id);
}

void DownloadQueue::noteIdle()
{
    if (m_busy && isIdle()) {
        m_busy = false;
        emit idle();
    }
}
