// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/gui_main.h"
#include "cli/cli.h"
#include "cli/options.h"

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // The command line never creates a GUI application object.
    if (Options::wantsCommandLine(arguments))
        return Cli::run(argc, argv);
    return runGui(argc, argv);
}
