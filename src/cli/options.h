// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCommandLineOption>
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// The program's options in one table for both fronts: the windows and the
// command line each parse the rows meant for them, and the start-up reads
// the same rows to tell which front the arguments ask for.
namespace Options {

enum class Front { Window = 0x1, CommandLine = 0x2 };
Q_DECLARE_FLAGS(Fronts, Front)

struct Row
{
    // Its description is the line of the help, untranslated: the help
    // translates it in the "Cli" context.
    QCommandLineOption option;
    Fronts fronts;
    // The commands whose help lists it; none for the window's and --version.
    QStringList commands = {};
    bool question = false; // answered by the command line alone: help, version
    // How the help writes it, when not as its names and value do ("--download ADDRESS...").
    QString syntax = {};
};

// Names to ask a parser with; the host options are the service hosts'
// (serviceHostOptions()).
inline const QString Json = QStringLiteral("json");
inline const QString Timeout = QStringLiteral("timeout");
inline const QString Demo = QStringLiteral("demo");
inline const QString Output = QStringLiteral("output");
inline const QString NameTemplate = QStringLiteral("name");
inline const QString NoTags = QStringLiteral("no-tags");
inline const QString Jobs = QStringLiteral("jobs");
inline const QString Force = QStringLiteral("force");
inline const QString Hot = QStringLiteral("hot");
inline const QString History = QStringLiteral("history");
inline const QString Help = QStringLiteral("help");
inline const QString Version = QStringLiteral("version");
inline const QString Address = QStringLiteral("address");
inline const QString Screenshot = QStringLiteral("screenshot");
inline const QString NewWindow = QStringLiteral("new-window");
inline const QString Language = QStringLiteral("lang");
inline const QString Download = QStringLiteral("download");
inline const QString Verbose = QStringLiteral("verbose");
inline const QString Quiet = QStringLiteral("quiet");
inline const QString JsonStrings = QStringLiteral("json-strings");

// The command line's commands, in the order the help lists them.
const QStringList &commands();

// In the order the help lists them.
const QList<Row> &table();

// "-o, --output DIR": how the help writes the row's option.
QString helpSyntax(const Row &row);

// Adds front's rows to parser, long names also after a single dash.
void addTo(QCommandLineParser &parser, Front front);

// Whether these arguments (without the program name) ask for the command
// line rather than the windows: a command, help, version or an option
// neither front knows. A bare web address is the window's, as a desktop
// link hands it over.
bool wantsCommandLine(const QStringList &arguments);

} // namespace Options

Q_DECLARE_OPERATORS_FOR_FLAGS(Options::Fronts)
