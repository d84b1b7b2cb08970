// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "cli/config_command.h"
#include "cli/download_command.h"
#include "cli/help_text.h"
#include "cli/history_command.h"
#include "cli/hot_command.h"
#include "cli/info_command.h"
#include "cli/options.h"

#include "download/name_template.h"
#include "library/download_history.h"
#include "library/download_settings.h"
#include "net/http_request.h"
#include "net/network_access.h"
#include "net/sample_service_process.h"
#include "net/service_config.h"
#include "util/ui_language.h"
#include "util/version_text.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace Cli {

namespace {

QString usageFailure()
{
    return QCoreApplication::translate("Cli", "用法有误");
}

// A usage failure that names where the usage is, in its one line.
void printUsageFailure(const QString &why)
{
    printFailure(usageFailure(),
                 QCoreApplication::translate("Cli", "%1（用法见 “vexa-helper --help”）").arg(why));
}

// How the user wrote an option the parser did not know: long names also
// after one dash, but shown in their usual form.
QString optionSpelling(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

std::optional<FetchOptions> fetchOptionsFrom(const QCommandLineParser &parser)
{
    FetchOptions options;
    if (!parser.isSet(Options::Timeout))
        return options;
    bool ok = false;
    const double seconds = parser.value(Options::Timeout).toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 24 * 3600)
        return std::nullopt;
    options.stallTimeout = std::chrono::milliseconds(std::max<qint64>(1, std::llround(seconds * 1000)));
    return options;
}

// Runs the sample service for --demo; its one event loop ends once the
// service has told its port or could not start.
bool startDemo(SampleServiceProcess &demo)
{
    const int status = runCommandLoop([&](const std::function<void(int)> &done) {
        QObject::connect(&demo, &SampleServiceProcess::ready, &demo, [done] { done(Success); });
        QObject::connect(&demo, &SampleServiceProcess::failed, &demo, [done](const QString &message) {
            printFailure(QCoreApplication::translate("Cli", "示例服务未能启动"), message);
            done(Failure);
        });
        demo.start();
    });
    return status == Success;
}

QString nameTemplateOf(const QCommandLineParser &parser, const DownloadSettings &settings)
{
    return parser.isSet(Options::NameTemplate) ? parser.value(Options::NameTemplate) : settings.nameTemplate;
}

// --jobs, 1 to 10; without it the jobs setting.
std::optional<int> jobsFrom(const QCommandLineParser &parser, const DownloadSettings &settings)
{
    if (!parser.isSet(Options::Jobs))
        return settings.jobs;
    bool ok = false;
    const int jobs = parser.value(Options::Jobs).toInt(&ok);
    if (!ok || jobs < 1 || jobs > DownloadSettings::MaxJobs)
        return std::nullopt;
    return jobs;
}

int runCommand(const QString &command, const QCommandLineParser &parser, const ServiceConfig &config,
               const FetchOptions &options, const QStringList &arguments, const DownloadSettings &settings,
               int jobs, const std::function<QString(const QString &)> &pageOf)
{
    const JsonForm json = parser.isSet(Options::JsonStrings) ? JsonForm::Strings
                          : parser.isSet(Options::Json)      ? JsonForm::Numbers
                                                             : JsonForm::None;
    if (command == QLatin1String("download")) {
        DownloadSettings wanted = settings;
        if (parser.isSet(Options::Output))
            wanted.folder = parser.value(Options::Output);
        wanted.nameTemplate = nameTemplateOf(parser, settings);
        wanted.tags = settings.tags && !parser.isSet(Options::NoTags);
        DownloadChoices choices;
        choices.batch.jobs = jobs;
        choices.batch.force = parser.isSet(Options::Force);
        choices.hot = parser.isSet(Options::Hot);
        choices.pageOf = pageOf;
        return runDownloadCommand(config, options, arguments, wanted, choices);
    }
    if (command == QLatin1String("hot")) {
        // Opened only once a refresh has come to record.
        DownloadHistory history;
        history.setNotice([](const QString &text) { printProblem(text); });
        const CommandOutput hot = runHotCommand(config.webHost, options, json, arguments, &history);
        std::fwrite(hot.out.constData(), 1, size_t(hot.out.size()), stdout);
        writeTo(stderr, hot.err);
        return hot.status;
    }
    return runInfoCommand(config, options, json, arguments);
}

} // namespace

int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vexa-helper"));
    QCoreApplication::setApplicationVersion(versionText());

    QCommandLineParser parser;
    Options::addTo(parser, Options::Front::CommandLine);
    // The language comes first so that every message is in it; a failed
    // parse still has the --lang value.
    const bool parsed = parser.parse(QCoreApplication::arguments());
    auto loaded = loadUiLanguage(
        parser.isSet(Options::Language) ? std::optional(parser.value(Options::Language)) : std::nullopt);
    if (!loaded) {
        // Told in the user's own language.
        printProblem(languageProblemText(*loadUiLanguage(std::nullopt).value(), loaded.error()));
        return UsageError;
    }
    const std::unique_ptr<UiTranslators> translators = std::move(loaded).value();
    translators->install();
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        // The window's options are unknown here too; told only when nothing else is.
        QStringList spelled;
        QStringList windows;
        for (const QString &name : unknown) {
            const bool known =
                std::any_of(Options::table().cbegin(), Options::table().cend(),
                            [&](const Options::Row &row) { return row.option.names().contains(name); });
            (known ? windows : spelled).append(optionSpelling(name));
        }
        if (spelled.isEmpty())
            spelled = windows;
        // Qt's own wording is kept for the other parse errors (a value missing, one too many).
        printUsageFailure(unknown.isEmpty() ? parser.errorText()
                                            : QCoreApplication::translate("Cli", "未知选项 “%1”")
                                                  .arg(spelled.join(QStringLiteral(", "))));
        return UsageError;
    }
    if (parser.isSet(Options::Help)) {
        const QStringList words = parser.positionalArguments();
        const bool ofCommand = !words.isEmpty() && Options::commands().contains(words.first());
        writeTo(stdout, ofCommand ? commandHelpText(words.first()) : helpText());
        return Success;
    }
    if (parser.isSet(Options::Version)) {
        writeTo(stdout, versionText() + u'\n');
        return Success;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        printFailure(usageFailure(), QCoreApplication::translate("Cli", "缺少命令"));
        printError(helpText());
        return UsageError;
    }
    const QString command = positional.takeFirst();
    setQuiet(parser.isSet(Options::Quiet));
    if (!Options::commands().contains(command)) {
        printUsageFailure(QCoreApplication::translate("Cli", "未知命令 “%1”").arg(command));
        return UsageError;
    }
    if (command == QLatin1String("config"))
        return runConfigCommand(positional);
    if (command == QLatin1String("history"))
        return runHistoryCommand(parser.isSet(Options::Json), positional); // its counts always were numbers
    if (command == QLatin1String("hot") && parser.isSet(Options::History)) {
        // Listing needs no writing: a read-only or newer file is still listed.
        const DownloadHistory history({}, DownloadHistory::Use::Read);
        const CommandOutput listed = runHotHistoryCommand(
            history, parser.isSet(Options::Json) || parser.isSet(Options::JsonStrings), positional);
        std::fwrite(listed.out.constData(), 1, size_t(listed.out.size()), stdout);
        writeTo(stderr, listed.err);
        return listed.status;
    }

    const std::optional<FetchOptions> fetchOptions = fetchOptionsFrom(parser);
    if (!fetchOptions) {
        printFailure(QCoreApplication::translate("Cli", "--timeout 的值 “%1” 有误")
                         .arg(parser.value(Options::Timeout)),
                     QCoreApplication::translate("Cli", "须为大于 0、至多 24 小时的秒数"));
        return UsageError;
    }
    // Only download reads them; stored values were checked when loaded, and
    // a refused one is told before it is replaced.
    QStringList settingsProblems;
    const DownloadSettings settings = command == QLatin1String("download")
                                          ? loadDownloadSettings(&settingsProblems)
                                          : DownloadSettings::defaults();
    for (const QString &problem : std::as_const(settingsProblems))
        printProblem(problem);
    if (const auto checked = checkNameTemplate(nameTemplateOf(parser, settings)); !checked) {
        printFailure(QCoreApplication::translate("Cli", "--name 模板 “%1” 有误")
                         .arg(parser.value(Options::NameTemplate)),
                     templateProblemText(checked.error()));
        return UsageError;
    }
    const std::optional<int> jobs = jobsFrom(parser, settings);
    if (!jobs) {
        printFailure(
            QCoreApplication::translate("Cli", "--jobs 的值 “%1” 有误").arg(parser.value(Options::Jobs)),
            QCoreApplication::translate("Cli", "须为 1 到 %1 的整数").arg(DownloadSettings::MaxJobs));
        return UsageError;
    }
    // Host options are checked before a demo service is started for nothing.
    auto config = applyServiceHostOptions(parser, ServiceConfig::defaults());
    if (!config) {
        printFailure(usageFailure(), hostOptionFailureText(config.error()));
        return UsageError;
    }

    std::unique_ptr<SampleServiceProcess> demo;
    std::function<QString(const QString &)> pageOf;
    if (parser.isSet(Options::Demo)) {
        demo = std::make_unique<SampleServiceProcess>();
        if (!startDemo(*demo))
            return Failure;
        printNote(QCoreApplication::translate("Cli", "使用示例服务：%1").arg(demo->summary()));
        // The host options still override the service's hosts.
        config = applyServiceHostOptions(parser, ServiceConfig::allAt(demo->hostAndPort()));
        // The demo's port is only known now, so a bare sample id stands for its page.
        pageOf = [service = demo.get()](const QString &address) { return service->pageAddress(address); };
        if (command == QLatin1String("info") && positional.size() == 1)
            positional.first() = pageOf(positional.first());
    }

    const int status =
        runCommand(command, parser, *config, *fetchOptions, positional, settings, *jobs, pageOf);
    shutDownSharedNetworkManager();
    return status;
}

} // namespace Cli
