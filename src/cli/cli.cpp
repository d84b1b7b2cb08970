// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "cli/config_command.h"
#include "cli/download_command.h"
#include "cli/hot_command.h"
#include "cli/info_command.h"
#include "cli/options.h"

#include "services/download_settings.h"
#include "services/http_text_fetch.h"
#include "services/name_template.h"
#include "services/network_access.h"
#include "services/sample_service_process.h"
#include "services/service_config.h"
#include "services/ui_language.h"
#include "services/version_text.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace Cli {

namespace {

const QStringList Commands = {QStringLiteral("info"), QStringLiteral("download"), QStringLiteral("hot"),
                              QStringLiteral("config")};

QString helpText()
{
    return QStringLiteral(
        "Usage: vexa-helper [OPTIONS]                      open the main window\n"
        "       vexa-helper [OPTIONS] COMMAND [ARGUMENTS]  run one command\n"
        "\n"
        "Commands:\n"
        "  info ADDRESS [--json]   analyse a sound page address and print the sound's record\n"
        "  download ADDRESS [-o DIR] [--name TEMPLATE]\n"
        "                          analyse it, save the sound file (into the download\n"
        "                          folder or DIR) and print the saved path; with --demo\n"
        "                          a bare sample id such as 1001 will do as the ADDRESS\n"
        "  hot [--json]            list the fifteen hot sounds of the home page (--json: the\n"
        "                          texts exactly as cut)\n"
        "  config [KEY [VALUE]]    print the download settings as key=value lines, print\n"
        "                          one, or set one; keys: folder, name (the default\n"
        "                          --name template), tags (true/false), id3-version (3/4)\n"
        "\n"
        "Options:\n"
        "  --json                  print the record as one JSON object\n"
        "  -o, --output DIR        (download) save into DIR, created when missing,\n"
        "                          instead of the folder setting\n"
        "  --name TEMPLATE         (download) name the saved file by TEMPLATE (default:\n"
        "                          the name setting, at first \"{singer} - {name}\"):\n"
        "                          fields {singer} {name} {id} {date} {ext} {shortname}\n"
        "                          {shortsinger}; \"/\" makes subfolders; the extension\n"
        "                          follows unless placed\n"
        "  --timeout SECONDS       give up when no data arrives for this long (default 30)\n"
        "  --web-host HOST[:PORT]  web host of the sound pages and the home page\n"
        "  --api-host HOST[:PORT]  host of the sound-info endpoint\n"
        "  --update-host HOST[:PORT]  host of the version file\n"
        "  --demo                  start the built-in sample service and use it for every host\n"
        "  --lang LANG             language of the texts: zh_CN, zh_TW or en (default: from\n"
        "                          the system's languages)\n"
        "  --address ADDRESS       (window) analyse this address after start-up; with\n"
        "                          --demo a bare sample id such as 1001 will do\n"
        "  --screenshot FILE       (window) save the window as a picture after start-up\n"
        "                          and any --address analysis, then end\n"
        "  -h, --help              show this help\n"
        "  -v, --version           show the version\n"
        "\n"
        "Exit status: 0 success, 2 address rejected, 3 the answer did not arrive,\n"
        "4 the answer holds no sound record (hot: the page holds no entry), 5 the\n"
        "download failed, 64 wrong usage, 1 any other failure.\n");
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
            printProblem(message);
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

int runCommand(const QString &command, const QCommandLineParser &parser, const ServiceConfig &config,
               const FetchOptions &options, const QStringList &arguments, const DownloadSettings &settings)
{
    const bool json = parser.isSet(Options::Json);
    if (command == QLatin1String("download")) {
        DownloadSettings wanted = settings;
        if (parser.isSet(Options::Output))
            wanted.folder = parser.value(Options::Output);
        wanted.nameTemplate = nameTemplateOf(parser, settings);
        wanted.tags = settings.tags && !parser.isSet(Options::NoTags);
        return runDownloadCommand(config, options, arguments, wanted);
    }
    if (command == QLatin1String("hot")) {
        const CommandOutput hot = runHotCommand(config.webHost, options, json, arguments);
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
    QString languageProblem;
    const std::unique_ptr<UiTranslators> translators = loadUiLanguage(
        parser.isSet(Options::Language) ? std::optional(parser.value(Options::Language)) : std::nullopt,
        &languageProblem);
    translators->install();
    if (!languageProblem.isEmpty()) {
        printProblem(languageProblem);
        return UsageError;
    }
    if (!parsed) {
        printProblem(parser.errorText());
        printError(QStringLiteral("Try 'vexa-helper --help'."));
        return UsageError;
    }
    if (parser.isSet(Options::Help)) {
        writeTo(stdout, helpText());
        return Success;
    }
    if (parser.isSet(Options::Version)) {
        writeTo(stdout, versionText() + u'\n');
        return Success;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        printProblem(QStringLiteral("missing command"));
        printError(helpText());
        return UsageError;
    }
    const QString command = positional.takeFirst();
    if (!Commands.contains(command)) {
        printProblem(QStringLiteral("unknown command \"%1\"").arg(command));
        printError(QStringLiteral("Try 'vexa-helper --help'."));
        return UsageError;
    }
    if (command == QLatin1String("config"))
        return runConfigCommand(positional);

    const std::optional<FetchOptions> fetchOptions = fetchOptionsFrom(parser);
    if (!fetchOptions) {
        printProblem(QStringLiteral("--timeout wants a number of seconds above 0, got \"%1\"")
                         .arg(parser.value(Options::Timeout)));
        return UsageError;
    }
    // Only download reads them; stored values were checked when loaded.
    const DownloadSettings settings =
        command == QLatin1String("download") ? loadDownloadSettings() : DownloadSettings::defaults();
    if (const QString problem = nameTemplateProblem(nameTemplateOf(parser, settings)); !problem.isEmpty()) {
        printProblem(QStringLiteral("bad --name template \"%1\": %2")
                         .arg(parser.value(Options::NameTemplate), problem));
        return UsageError;
    }
    // Host options are checked before a demo service is started for nothing.
    QString error;
    std::optional<ServiceConfig> config = applyServiceHostOptions(parser, ServiceConfig::defaults(), &error);
    if (!config) {
        printProblem(error);
        return UsageError;
    }

    std::unique_ptr<SampleServiceProcess> demo;
    if (parser.isSet(Options::Demo)) {
        demo = std::make_unique<SampleServiceProcess>();
        if (!startDemo(*demo))
            return Failure;
        printError(demo->summary());
        // The host options still override the service's hosts.
        config = applyServiceHostOptions(parser, ServiceConfig::allAt(demo->hostAndPort()), nullptr);
        // The demo's port is only known now, so a bare sample id stands for its page.
        if (command != QLatin1String("hot") && positional.size() == 1)
            positional.first() = demo->pageAddress(positional.first());
    }

    const int status = runCommand(command, parser, *config, *fetchOptions, positional, settings);
    shutDownSharedNetworkManager();
    return status;
}

} // namespace Cli
