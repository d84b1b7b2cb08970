// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "queue/download_batch.h"

#include "library/download_history.h"
#include "queue/download_queue.h"
#include "queue/sound_download_request.h"
#include "sound/sound_link.h"

#include <QTimer>

DownloadBatch::DownloadBatch(DownloadQueue &queue, const ServiceConfig &config,
                             const DownloadSettings &settings, const FetchOptions &options, QObject *parent)
    : QObject(parent)
    , m_queue(queue)
    , m_config(config)
    , m_settings(settings)
    , m_options(options)
{}

void DownloadBatch::add(const QList<Item> &items)
{
    if (items.isEmpty()) {
        // Callers wait for analysed(); an empty batch still ends, from the event loop.
        if (!isAnalysing())
            QTimer::singleShot(0, this, [this] {
                if (!isAnalysing())
                    emit analysed();
            });
        return;
    }
    for (const Item &item : items)
        m_slots.push_back({item, ++m_lastSerial, false, std::nullopt});
    startAnalyses();
}

bool DownloadBatch::isAnalysing() const
{
    return !m_slots.empty();
}

void DownloadBatch::startAnalyses()
{
    for (Slot &slot : m_slots) {
        if (m_analysing >= MaxAnalyses)
            return;
        if (slot.started)
            continue;
        slot.started = true;
        ++m_analysing;
        auto *analysis = new SoundAnalysis(slot.item.address, m_config.apiHost, m_options, this);
        connect(analysis, &SoundAnalysis::finished, this,
                [this, analysis, serial = slot.serial](const AnalysisResult &result) {
                    analysis->deleteLater();
                    --m_analysing;
                    for (Slot &waiting : m_slots) {
                        if (waiting.serial == serial) {
                            waiting.result = result;
                            break;
                        }
                    }
                    startAnalyses();
                    handOn();
                });
        analysis->start();
    }
}

void DownloadBatch::handOn()
{
    // Handlers may add items (Ask answered at once, say); take each front
    // off before its signal so that the deque is never walked while it changes.
    bool any = false;
    while (!m_slots.empty() && m_slots.front().result) {
        const Slot front = std::move(m_slots.front());
        m_slots.pop_front();
        any = true;
        take(front.item, *front.result);
    }
    if (any && m_slots.empty())
        emit analysed();
}

void DownloadBatch::take(const Item &item, const AnalysisResult &result)
{
    if (!result && result.error().reason == AnalysisStatus::Abandoned)
        return; // the program is ending: nothing to record
    if (!result) {
        DownloadEntry entry;
        entry.soundId = soundIdFromAddress(item.address);
        entry.pageAddress = item.address;
        entry.name = item.name;
        entry.singer = item.singer;
        const QString text = analysisFailureText(result.error());
        // What the network or the answer said, for --verbose.
        qInfo("analysis of %s failed: %s", qUtf8Printable(item.address),
              qUtf8Printable(analysisDetailText(result.error())));
        emit failed({item.address, m_queue.addFailed(entry, text).value_or(0), text, result.error().reason});
        return;
    }
    const DownloadEntry entry =
        soundDownloadEntry(*result, soundPagePrefix(m_config.webHost) + result->soundId, m_settings);
    if (m_donePolicy != DonePolicy::Download) {
        if (const std::optional<DownloadEntry> done = m_queue.history().doneWithFile(entry.soundId)) {
            if (m_donePolicy == DonePolicy::Skip)
                emit skipped(item.address, *done);
            else
                emit alreadyDone(entry, *done);
            return;
        }
    }
    const auto stored = queue(entry);
    if (stored)
        emit queued(item.address, *stored);
    else if (stored.error().reason == StoreRefusal::Taken) // another run got there since the look above
        emit skipped(item.address, stored.error().detail);
    else // the history would not take it, so the queue cannot run it
        emit failed({item.address, 0, tr("无法记入下载历史"), AnalysisStatus::Done});
}

Expected<qint64, StoreFailure> DownloadBatch::queue(const DownloadEntry &entry)
{
    // A paused download of the same file goes on from its part file on its
    // own row, rather than a second row beside it.
    if (const std::optional<qint64> id = m_queue.continuePaused(entry))
        return *id;
    // When the done sound is skipped, checking and storing are one step,
    // so batches started at once do not fetch the same sound twice.
    if (m_donePolicy == DonePolicy::Skip)
        return m_queue.enqueueUnlessTaken(entry);
    return m_queue.enqueue(entry);
}
