// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/cli_output.h"

#include <QStringList>

struct FetchOptions;
struct ServiceConfig;

namespace Cli {

// `info ADDRESS [--json | --json-strings]`: analyses the address and
// prints the sound's record, aligned for reading or as one JSON object.
// Returns the exit code.
int runInfoCommand(const ServiceConfig &config, const FetchOptions &options, JsonForm json,
                   const QStringList &arguments);

} // namespace Cli
