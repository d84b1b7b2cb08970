// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/gui_main.h"
#include "cli/cli.h"
#include "cli/options.h"
#include "util/message_handler.h"

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Before anything can warn; both parsers take the option as well.
    const qsizetype optionsEnd = arguments.indexOf(QStringLiteral("--"));
    const QStringList options = arguments.mid(0, optionsEnd);
    installMessageHandler(options.contains(u"--" + Options::Verbose) ||
                          options.contains(u'-' + Options::Verbose));
    // The command line never creates a GUI application object.
    if (Options::wantsCommandLine(arguments))
        return Cli::run(argc, argv);
    return runGui(argc, argv);
}
