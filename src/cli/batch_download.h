// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_settings.h"
#include "net/http_request.h"
#include "net/service_config.h"
#include "queue/download_batch.h"

#include <QList>
#include <QString>

namespace Cli {

struct BatchOptions
{
    int jobs = 3;
    bool force = false; // download again what the history has as done
};

// Downloads every item through the shared history and a queue of
// options.jobs at once: addresses are checked (a refused one fails alone),
// analysed and queued in order. Each saved path goes to stdout as it lands;
// failures to stderr as they happen, and a summary at the end. Returns the
// exit code: with one item its own (as a lone download always had), with
// several Success or DownloadFailed. Ctrl-C (or SIGTERM) pauses what runs,
// keeps the part files and exits 130 (143).
int runBatchDownload(const ServiceConfig &config, const FetchOptions &fetchOptions,
                     const DownloadSettings &settings, const BatchOptions &options,
                     const QList<DownloadBatch::Item> &items);

// The one terminal line of several downloads: how many are through of how
// many, bytes so far (of the known total), speed (once ended, the average).
QString batchProgressLine(int through, int total, qint64 bytes, qint64 knownTotal, double bytesPerSecond,
                          bool ended = false);

} // namespace Cli
