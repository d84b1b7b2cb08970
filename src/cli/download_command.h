// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/batch_download.h"
#include "library/download_settings.h"
#include "net/http_request.h"
#include "net/service_config.h"
#include "util/byte_size.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Cli {

struct DownloadChoices
{
    BatchOptions batch;
    bool hot = false; // the hot list's sounds first, then any addresses given
    // With --demo, the page a bare sample id stands for; applied to the
    // addresses given and those read from stdin alike.
    std::function<QString(const QString &)> pageOf;
};

// `download ADDRESS... [-o DIR] [--name TEMPLATE] [--no-tags] [--jobs N]
// [--force] [--hot]`: analyses each address like `info`, then saves its
// sound file as the settings (with the options laid over them; the
// template already checked) say: folder, name, tags. "-" stands for the
// addresses on stdin, one a line. Progress goes to stderr, each saved path
// to stdout, and a note to stderr when the tags could not be written.
// Returns the exit code (DownloadFailed when a download itself fails;
// never for tags).
int runDownloadCommand(const ServiceConfig &config, const FetchOptions &options, const QStringList &arguments,
                       const DownloadSettings &settings, const DownloadChoices &choices);

// One progress line: bar, percentage, bytes, speed and the time left;
// percentage, bar and time only when total is known (>= 0). Once ended,
// bytesPerSecond is the average, said as such.
QString progressLine(qint64 received, qint64 total, double bytesPerSecond, int barWidth = 24,
                     bool ended = false);

// Shared with the windows; kept under its old name here.
using ::byteSizeText;

} // namespace Cli
