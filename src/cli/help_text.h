// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace Cli {

// `--help`: the usages, every command, every option of the command line
// and the window, every exit status.
QString helpText();

// `COMMAND --help`: that command's usages, the options it takes and the
// exit statuses it can end with. command is one of Options::commands().
QString commandHelpText(const QString &command);

} // namespace Cli
