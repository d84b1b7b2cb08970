// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "services/http_text_fetch.h"
#include "services/service_config.h"

#include <QString>
#include <QStringList>

namespace Cli {

// `download ADDRESS [-o DIR] [--name TEMPLATE]`: analyses the address like
// `info`, then saves the sound file into folder (the user's download folder
// when empty) under the name the checked nameTemplate gives, with a progress
// line on stderr, and prints the saved path. Returns the exit code
// (DownloadFailed when the download itself fails).
int runDownloadCommand(const ServiceConfig &config, const FetchOptions &options, const QStringList &arguments,
                       const QString &folder, const QString &nameTemplate);

// One progress line: bar, percentage, bytes and speed; percentage and bar
// only when total is known (>= 0).
QString progressLine(qint64 received, qint64 total, double bytesPerSecond, int barWidth = 24);

// "512.0 MiB", "3.2 KiB", "17 B".
QString byteSizeText(double bytes);

} // namespace Cli
