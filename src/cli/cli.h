// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace Cli {

// Runs the command-line front (see Options::wantsCommandLine for when);
// creates its own QCoreApplication and returns the exit status.
int run(int argc, char **argv);

} // namespace Cli
