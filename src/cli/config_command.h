// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

namespace Cli {

// `config [KEY [VALUE]]`: prints every download setting as key=value lines,
// prints one, or sets one and stores it. Returns the exit code.
int runConfigCommand(const QStringList &arguments);

} // namespace Cli
