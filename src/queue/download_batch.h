// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_entry.h"
#include "library/download_history.h"
#include "library/download_settings.h"
#include "net/http_request.h"
#include "net/service_config.h"
#include "sound/sound_analysis.h"

#include <QList>
#include <QObject>
#include <QString>

#include <deque>
#include <optional>

class DownloadQueue;

// Many sounds downloaded from their page addresses: each is analysed (a
// few at a time) and handed to the queue, which downloads it; the window
// that shows a sound is not involved. A sound that cannot be analysed is
// handed over too, as a failed entry of its own. The batch writes nothing
// itself. Addresses must have passed the address check.
class DownloadBatch : public QObject
{
    Q_OBJECT

public:
    // What is known of a sound before its analysis, shown if it fails.
    struct Item
    {
        QString address;
        QString name;
        QString singer;
    };

    // A sound that could not be queued.
    struct Failure
    {
        QString address;
        qint64 id = 0;  // its failed row; 0 when not even that could be stored
        QString reason; // the program's sentence, as the row has it
        // FetchFailed or ExtractFailed when the analysis failed; Done when
        // it went well and the download could not be queued.
        AnalysisStatus analysis = AnalysisStatus::Done;
    };

    // What happens to a sound the history has as done, with its file still there.
    enum class DonePolicy {
        Download, // again
        Skip,     // skipped() instead
        Ask,      // alreadyDone(); the caller queues next if the user wants
    };

    DownloadBatch(DownloadQueue &queue, const ServiceConfig &config, const DownloadSettings &settings,
                  const FetchOptions &options = {}, QObject *parent = nullptr);

    void setDonePolicy(DonePolicy policy) { m_donePolicy = policy; }
    // Starts analysing; may be called again while earlier items are under way.
    // Results are handed on (queued, failed, ...) in the order items came,
    // so the queue downloads them in that order too.
    void add(const QList<Item> &items);
    bool isAnalysing() const;

    static constexpr int MaxAnalyses = 3;

signals:
    void queued(const QString &address, qint64 id);
    void failed(const DownloadBatch::Failure &failure);
    // done: done with its file still there, or (Skip only) still on its
    // way to the same folder, so not its path yet.
    void skipped(const QString &address, const DownloadEntry &done);
    void alreadyDone(const DownloadEntry &next, const DownloadEntry &done);
    // Every item added so far has been analysed (its download may still run).
    void analysed();

private:
    DownloadQueue &m_queue;
    ServiceConfig m_config;
    DownloadSettings m_settings;
    FetchOptions m_options;
    DonePolicy m_donePolicy = DonePolicy::Download;

    struct Slot
    {
        Item item;
        quint64 serial; // finds the slot again when its analysis ends
        bool started = false;
        std::optional<AnalysisResult> result;
    };

    void startAnalyses();
    void handOn();
    void take(const Item &item, const AnalysisResult &result);
    Expected<qint64, StoreFailure> queue(const DownloadEntry &entry);

    std::deque<Slot> m_slots; // in the order added; the front is handed on first
    quint64 m_lastSerial = 0;
    int m_analysing = 0;
};
