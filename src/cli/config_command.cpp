// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/config_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "services/download_settings.h"

namespace Cli {

int runConfigCommand(const QStringList &arguments)
{
    if (arguments.size() > 2) {
        printProblem(QStringLiteral("config: too many arguments: at most KEY and VALUE"));
        return UsageError;
    }
    DownloadSettings settings = loadDownloadSettings();
    if (arguments.isEmpty()) {
        QString out;
        for (const QString &key : DownloadSettings::keys())
            out += key + u'=' + settings.value(key) + u'\n';
        writeTo(stdout, out);
        return Success;
    }
    const QString &key = arguments.first();
    if (!DownloadSettings::keys().contains(key)) {
        printProblem(QStringLiteral("config \"%1\": unknown setting (known: %2)")
                         .arg(key, DownloadSettings::keys().join(QStringLiteral(", "))));
        return UsageError;
    }
    if (arguments.size() == 1) {
        writeTo(stdout, settings.value(key) + u'\n');
        return Success;
    }
    if (const QString problem = settings.set(key, arguments.at(1)); !problem.isEmpty()) {
        printProblem(QStringLiteral("config %1 \"%2\": %3").arg(key, arguments.at(1), problem));
        return UsageError;
    }
    if (const QString problem = saveDownloadSettings(settings); !problem.isEmpty()) {
        printProblem(QStringLiteral("config %1 not saved: %2").arg(key, problem));
        return Failure;
    }
    return Success;
}

} // namespace Cli
