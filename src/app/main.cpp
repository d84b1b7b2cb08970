// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/options.h"
#include "util/message_handler.h"
#include "util/program_module.h"

#include <QFileInfo>

#include <cstdio>

namespace {

// The front asked for, loaded from its module: each front maps only its own
// code and libraries.
int runFront(const char *fileName, const char *function, const char *whatFails, int argc, char **argv)
{
    // No application object yet: the executable's folder comes from the kernel.
    const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const auto run = loadModuleFunction(moduleFolders(folder), QString::fromLatin1(fileName), function);
    if (!run) {
        std::fprintf(stderr, "vexa-helper: %s: %s\n", whatFails, qPrintable(run.error().detail));
        return 1;
    }
    return reinterpret_cast<int (*)(int, char **)>(*run)(argc, argv);
}

} // namespace

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
    // The command line never creates a GUI application object, nor loads the windows.
    if (Options::wantsCommandLine(arguments))
        return runFront(VEXA_COMMANDS_MODULE_FILE, "vexaRunCommands", "the commands cannot run", argc, argv);
    return runFront(VEXA_WINDOW_MODULE_FILE, "vexaRunWindows", "the window cannot open", argc, argv);
}
