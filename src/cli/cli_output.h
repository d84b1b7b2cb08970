// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

namespace Cli {

// Text as UTF-8, flushed at once so progress and problems keep their order.
void writeTo(FILE *stream, const QString &text);
// line and a line break on stderr.
void printError(const QString &line);
// "vexa-helper: LINE" on stderr: a note, or a problem told in one piece.
void printProblem(const QString &line);

// "vexa-helper: WHAT: WHY" and a line break: the one form of every failure
// the command line reports, so scripts and people read them alike.
QString failureLine(const QString &what, const QString &why);
void printFailure(const QString &what, const QString &why);

// Columns text takes on a terminal; wide (CJK) characters take two.
int displayWidth(const QString &text);
// text in lines of at most width columns, broken at spaces or beside wide
// characters, since Chinese has no spaces to break at.
QStringList wrapText(const QString &text, int width);

} // namespace Cli
