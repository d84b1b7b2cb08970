// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace Cli {

// Whether terminalSafe() keeps line breaks: where the output's layout has
// its own lines, a break in the text may start one.
enum class LineBreaks { Shown, Kept };

// text with every control character shown as a visible sign (ESC as "␛",
// NUL as "␀", C1 codes as "\x9b"), so that text from the service can neither
// move the cursor, retitle the window, write the clipboard nor clear the
// screen of the terminal it is printed on. Tabs stay.
QString terminalSafe(const QString &text, LineBreaks breaks = LineBreaks::Shown);

// Text as UTF-8, flushed at once so progress and problems keep their order.
void writeTo(FILE *stream, const QString &text);
// line and a line break on stderr.
void printError(const QString &line);
// "vexa-helper: LINE" on stderr: a note, or a problem told in one piece.
void printProblem(const QString &line);

// --quiet: notes are left out, failures and saved paths stay.
void setQuiet(bool quiet);
bool isQuiet();
// printProblem() for a note, a line of progress or advice, unless quiet.
void printNote(const QString &line);

// "vexa-helper: WHAT: WHY" and a line break: the one form of every failure
// the command line reports, so scripts and people read them alike.
QString failureLine(const QString &what, const QString &why);
void printFailure(const QString &what, const QString &why);

// How --json writes: counts as numbers, or (--json-strings, the older
// shape scripts may read) every value as the text it was cut as.
enum class JsonForm { None, Numbers, Strings };

// A count as the service writes it ("42", "\"42\"", " 15 ", "12,345",
// "1.2万") as a JSON number; null when it holds none.
QJsonValue jsonCount(const QString &text);

// Columns text takes on a terminal; wide (CJK) characters take two.
int displayWidth(const QString &text);
// text in lines of at most width columns, broken at spaces or beside wide
// characters, since Chinese has no spaces to break at.
QStringList wrapText(const QString &text, int width);

} // namespace Cli
