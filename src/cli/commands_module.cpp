// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The commands as a module that main() loads only when a command is given,
// so that the window's start never maps the commands' code nor what only
// they use.
#include "cli/cli.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int vexaRunCommands(int argc, char **argv)
{
    return Cli::run(argc, argv);
}
