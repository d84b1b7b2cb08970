// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_result.h"
#include "library/download_entry.h"

#include <deque>
#include <utility>

class SoundDownload;

// What a running download's entry becomes when the queue stops it itself;
// Lost: another program took its row on, which is left to it.
enum class DownloadStop { No, Pause, Cancel, Remove, RemoveWithFile, Lost };

// Removes a part file and the info beside it.
void removePart(const QString &partPath);
// What a download stopped before it started tells: cancelled or paused.
DownloadResult stoppedBeforeStart(DownloadState state);

// One download of the queue while it runs: the request object, the entry
// as last written, and the byte counts its speed is measured from.
struct RunningDownload
{
    SoundDownload *download = nullptr; // owned; deleted once it has finished
    DownloadEntry entry;               // as last written
    DownloadStop stop = DownloadStop::No;
    std::deque<std::pair<qint64, qint64>> samples; // (ms on the queue's clock, bytes)

    RunningDownload() = default;
    RunningDownload(const RunningDownload &) = delete;
    RunningDownload &operator=(const RunningDownload &) = delete;
    ~RunningDownload();

    // False when a stop now loses the bytes received: nothing to continue from.
    bool isContinuable() const;
    // The entry with the bytes as they are now.
    DownloadEntry live() const;
    // The entry as the download's end leaves it.
    DownloadEntry atEnd(const DownloadResult &result) const;
    // Notes the bytes at now (ms); speed() looks back over about windowMs.
    void sample(qint64 now, qint64 bytes, qint64 windowMs);
    // Bytes per second over the samples kept.
    double speed() const;
};
