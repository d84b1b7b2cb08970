// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdio>

namespace Cli {

// Text as UTF-8, flushed at once so progress and problems keep their order.
void writeTo(FILE *stream, const QString &text);
// line and a line break on stderr.
void printError(const QString &line);
// "vexa-helper: LINE" on stderr.
void printProblem(const QString &line);

} // namespace Cli
