// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

struct FetchOptions;
struct ServiceConfig;

namespace Cli {

// `info ADDRESS [--json]`: analyses the address and prints the sound's
// record, aligned for reading or as one JSON object. Returns the exit code.
int runInfoCommand(const ServiceConfig &config, const FetchOptions &options, bool json,
                   const QStringList &arguments);

} // namespace Cli
