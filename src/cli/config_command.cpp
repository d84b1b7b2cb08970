// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/config_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "library/program_settings.h"

#include <QCoreApplication>

namespace Cli {

int runConfigCommand(const QStringList &arguments)
{
    if (arguments.size() > 2) {
        printFailure(QCoreApplication::translate("Cli", "用法有误"),
                     QCoreApplication::translate("Cli", "config 最多接受 KEY 和 VALUE 两个参数"));
        return UsageError;
    }
    ProgramSettings stored;
    for (const QString &problem : stored.problems())
        printProblem(problem);
    DownloadSettings settings = stored.current();
    if (arguments.isEmpty()) {
        QString out;
        for (const QString &key : DownloadSettings::keys())
            out += key + u'=' + settings.value(key) + u'\n';
        writeTo(stdout, out);
        return Success;
    }
    const QString &key = arguments.first();
    if (!DownloadSettings::keys().contains(key)) {
        printFailure(QCoreApplication::translate("Cli", "未知设置 “%1”").arg(key),
                     QCoreApplication::translate("Cli", "可用的设置有 %1")
                         .arg(DownloadSettings::keys().join(QStringLiteral(", "))));
        return UsageError;
    }
    if (arguments.size() == 1) {
        writeTo(stdout, settings.value(key) + u'\n');
        return Success;
    }
    if (const auto taken = settings.set(key, arguments.at(1)); !taken) {
        printFailure(QCoreApplication::translate("Cli", "设置 %1 的值 “%2” 有误").arg(key, arguments.at(1)),
                     settingProblemText(taken.error()));
        return UsageError;
    }
    if (const auto saved = stored.change(settings, {key}); !saved) {
        printFailure(QCoreApplication::translate("Cli", "设置 %1 未能保存").arg(key),
                     settingProblemText(saved.error()));
        return Failure;
    }
    return Success;
}

} // namespace Cli
