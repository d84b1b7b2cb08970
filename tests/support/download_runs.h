// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/sound_download.h"
#include "sample_service/sample_service.h"

#include <QSignalSpy>
#include <QTest>

#include <chrono>

// Downloads from the sample service, run to their end.

// A /file/bytes-SIZE.mp3 address with options, its own so that the
// service's per-address answer counts start afresh.
inline QString uniqueBytesPath(qint64 size, const QString &options = {})
{
    static int unique = 0;
    return QStringLiteral("/file/bytes-%1.mp3?u=%2%3")
        .arg(size)
        .arg(++unique)
        .arg(options.isEmpty() ? QString() : u'&' + options);
}

// Quick retries and a stall time-out that a slow test machine still meets.
inline DownloadRequest testDownloadRequest(const QString &url, const QString &folder,
                                           const QString &name = QStringLiteral("歌手 - 歌.mp3"))
{
    using namespace std::chrono_literals;
    DownloadRequest r;
    r.fileUrl = url;
    r.folder = folder;
    r.fileName = name;
    r.stallTimeout = 5s;
    r.retryDelays = {10ms, 20ms, 40ms};
    return r;
}

// Runs one download to its end.
inline DownloadResult runDownload(const DownloadRequest &r)
{
    SoundDownload download(r);
    QSignalSpy finished(&download, &SoundDownload::finished);
    download.start();
    if (!finished.wait(60000))
        return Unexpected(DownloadFailure{DownloadError::Stalled, {QStringLiteral("no end in 60 s"), 0, {}}});
    [&] { QCOMPARE(finished.count(), 1); }();
    // The signal carries the same result the download keeps.
    const auto carried = finished.first().first().value<DownloadResult>();
    [&] {
        const DownloadResult &kept = download.result();
        QCOMPARE(carried.has_value(), kept.has_value());
        if (carried) {
            QCOMPARE(carried->filePath, kept->filePath);
            QCOMPARE(carried->bytes, kept->bytes);
        } else {
            QCOMPARE(carried.error().reason, kept.error().reason);
            QCOMPARE(carried.error().detail.bytes, kept.error().detail.bytes);
        }
    }();
    return carried;
}

// Why it failed, for a test's message; empty when it did not.
inline QString whyNot(const DownloadResult &r)
{
    return r ? QString() : downloadFailureDetail(r.error());
}

// The Range headers of the requests for path, in order ("" for none). Qt
// itself may send a GET once more when a connection closes early, so a
// repeat of the same range is counted once.
inline QList<QByteArray> rangesAsked(const SampleService &service, const QString &path)
{
    QList<QByteArray> ranges;
    for (const RecordedRequest &r : service.requests()) {
        if (r.target == path.toUtf8() && (ranges.isEmpty() || ranges.constLast() != r.header("Range")))
            ranges.append(r.header("Range"));
    }
    return ranges;
}
