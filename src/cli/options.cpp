// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/options.h"

#include "services/service_config.h"

#include <QCommandLineParser>

namespace Options {

namespace {

const Row *rowNamedBy(const QString &argument)
{
    // "--name" or, as the parsers take long names after one dash, "-name".
    const QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(2)
                         : argument.startsWith(u'-')              ? argument.mid(1)
                                                                  : QString();
    if (name.isEmpty())
        return nullptr;
    for (const Row &row : table()) {
        if (row.option.names().contains(name))
            return &row;
    }
    return nullptr;
}

} // namespace

const QList<Row> &table()
{
    static const QList<Row> rows = [] {
        const Fronts both = Front::Window | Front::CommandLine;
        QList<Row> list = {
            {{Json, QStringLiteral("JSON output.")}, Front::CommandLine},
            {{Timeout, QStringLiteral("Stall time-out."), QStringLiteral("SECONDS")}, Front::CommandLine},
            {{Demo, QStringLiteral("Use the built-in sample service.")}, both},
            {{{QStringLiteral("o"), Output}, QStringLiteral("Download folder."), QStringLiteral("DIR")},
             Front::CommandLine},
            {{NameTemplate, QStringLiteral("Name template of the saved file."), QStringLiteral("TEMPLATE")},
             Front::CommandLine},
            {{NoTags, QStringLiteral("Save the file without tags and cover.")}, Front::CommandLine},
            {{{QStringLiteral("h"), Help}, QStringLiteral("Help.")}, Front::CommandLine, true},
            {{{QStringLiteral("v"), Version}, QStringLiteral("Version.")}, Front::CommandLine, true},
            {{Address, QStringLiteral("Analyse this address (with --demo also a sample id) after start-up."),
              QStringLiteral("ADDRESS")},
             Front::Window},
            {{Screenshot, QStringLiteral("Save the window to FILE and end."), QStringLiteral("FILE")},
             Front::Window},
            {{Language, QStringLiteral("Language of the texts: zh_CN, zh_TW or en."), QStringLiteral("LANG")},
             both},
        };
        for (const QCommandLineOption &host : serviceHostOptions())
            list.append({host, both});
        return list;
    }();
    return rows;
}

void addTo(QCommandLineParser &parser, Front front)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Row &row : table()) {
        if (row.fronts.testFlag(front))
            parser.addOption(row.option);
    }
}

bool wantsCommandLine(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            return i + 1 < arguments.size();
        if (const Row *row = rowNamedBy(argument)) {
            if (row->question)
                return true;
            if (!row->option.valueName().isEmpty())
                ++i; // its value is not taken for a command
            continue;
        }
        if (!argument.startsWith(u'-'))
            return true; // a command, known or not: the command line reports it
    }
    return false;
}

} // namespace Options
