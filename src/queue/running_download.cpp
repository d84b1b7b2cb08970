// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "queue/running_download.h"

#include "download/sound_download.h"

#include <QCoreApplication>
#include <QFile>

RunningDownload::~RunningDownload()
{
    delete download;
}

bool RunningDownload::isContinuable() const
{
    return download->received() == 0 || download->isContinuable();
}

DownloadEntry RunningDownload::live() const
{
    DownloadEntry e = entry;
    e.bytesDone = download->received();
    if (download->total() >= 0)
        e.size = download->total();
    return e;
}

DownloadEntry RunningDownload::atEnd(const DownloadResult &result) const
{
    DownloadEntry e = live();
    e.error.clear();
    if (result) {
        e.state = DownloadState::Done;
        e.savedPath = result->filePath;
        e.bytesDone = e.size = result->bytes;
        e.partPath.clear();
        e.ended = QDateTime::currentDateTime();
        return e;
    }
    const DownloadFailure &failure = result.error();
    e.bytesDone = failure.detail.bytes;
    e.partPath = failure.detail.partPath;
    if (stop == DownloadStop::Cancel) {
        e.partPath.clear();
        e.state = DownloadState::Cancelled;
        e.ended = QDateTime::currentDateTime();
    } else if (stop != DownloadStop::No || failure.reason == DownloadError::Cancelled) {
        // Paused by the user, or the program is ending: the part goes on later.
        e.state = DownloadState::Paused;
    } else {
        e.state = DownloadState::Failed;
        e.error = downloadFailureText(failure);
        e.ended = QDateTime::currentDateTime();
    }
    if (e.partPath.isEmpty())
        e.bytesDone = 0; // nothing kept to continue from
    return e;
}

void RunningDownload::sample(qint64 now, qint64 bytes, qint64 windowMs)
{
    samples.emplace_back(now, bytes);
    while (samples.size() > 2 && now - samples[1].first >= windowMs)
        samples.pop_front();
}

double RunningDownload::speed() const
{
    if (samples.size() < 2)
        return 0;
    const qint64 ms = samples.back().first - samples.front().first;
    const qint64 bytes = samples.back().second - samples.front().second;
    // A retry that starts again goes back: no speed to tell then.
    return ms > 0 && bytes > 0 ? double(bytes) * 1000 / double(ms) : 0;
}

void removePart(const QString &partPath)
{
    if (partPath.isEmpty())
        return;
    QFile::remove(partPath);
    QFile::remove(partInfoPath(partPath));
}

DownloadResult stoppedBeforeStart(DownloadState state)
{
    return Unexpected(DownloadFailure{state == DownloadState::Cancelled ? DownloadError::Cancelled
                                                                        : DownloadError::Paused});
}
