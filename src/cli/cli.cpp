#include "cli/cli.h"

#include "cli/download_command.h"
#include "cli/hot_command.h"

#include "sample_service/sample_service.h"
#include "services/http_text_fetch.h"
#include "services/network_access.h"
#include "services/service_config.h"
#include "services/version_text.h"
#include "sound/sound_analysis.h"
#include "sound/sound_link.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace Cli {

namespace {

const QString JsonOption = QStringLiteral("json");
const QString TimeoutOption = QStringLiteral("timeout");
const QString DemoOption = QStringLiteral("demo");
const QString OutputOption = QStringLiteral("output");

const QStringList Commands = {QStringLiteral("info"), QStringLiteral("download"), QStringLiteral("hot")};

void printOut(const QString &text)
{
    writeTo(stdout, text);
}

void printError(const QString &line)
{
    writeTo(stderr, line + u'\n');
}

QString helpText()
{
    return QStringLiteral(
        "Usage: vexa-helper [OPTIONS]                      open the main window\n"
        "       vexa-helper [OPTIONS] COMMAND [ARGUMENTS]  run one command\n"
        "\n"
        "Commands:\n"
        "  info ADDRESS [--json]   analyse a sound page address and print the sound's record\n"
        "  download ADDRESS [-o DIR]  analyse it, save the sound file (into the download\n"
        "                          folder or DIR) and print the saved path; with --demo\n"
        "                          a bare sample id such as 1001 will do as the ADDRESS\n"
        "  hot [--json]            list the fifteen hot sounds of the home page (--json: the\n"
        "                          texts exactly as cut)\n"
        "\n"
        "Options:\n"
        "  --json                  print the record as one JSON object\n"
        "  -o, --output DIR        (download) save into DIR, created when missing\n"
        "  --timeout SECONDS       give up when no data arrives for this long (default 30)\n"
        "  --web-host HOST[:PORT]  web host of the sound pages and the home page\n"
        "  --api-host HOST[:PORT]  host of the sound-info endpoint\n"
        "  --update-host HOST[:PORT]  host of the version file\n"
        "  --demo                  start the built-in sample service and use it for every host\n"
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

struct RunContext
{
    ServiceConfig config;
    FetchOptions fetchOptions;
    bool json = false;
};

QJsonObject recordJson(const SoundInfo &info)
{
    return QJsonObject{
        {QStringLiteral("soundId"), info.soundId},         {QStringLiteral("coverUrl"), info.coverUrl},
        {QStringLiteral("fileUrl"), info.fileUrl},         {QStringLiteral("soundName"), info.soundName},
        {QStringLiteral("singer"), info.singer},           {QStringLiteral("shortName"), info.shortName},
        {QStringLiteral("shortSinger"), info.shortSinger}, {QStringLiteral("playCount"), info.playCount},
        {QStringLiteral("fanCount"), info.fanCount},       {QStringLiteral("shareCount"), info.shareCount},
        {QStringLiteral("createTime"), info.createTime},   {QStringLiteral("publishTime"), info.publishTime},
        {QStringLiteral("infoText"), info.infoText},
    };
}

QString recordText(const SoundInfo &info)
{
    const QList<QPair<QString, QString>> rows = {
        {QStringLiteral("soundId"), info.soundId},         {QStringLiteral("soundName"), info.soundName},
        {QStringLiteral("shortName"), info.shortName},     {QStringLiteral("singer"), info.singer},
        {QStringLiteral("shortSinger"), info.shortSinger}, {QStringLiteral("playCount"), info.playCount},
        {QStringLiteral("fanCount"), info.fanCount},       {QStringLiteral("shareCount"), info.shareCount},
        {QStringLiteral("createTime"), info.createTime},   {QStringLiteral("publishTime"), info.publishTime},
        {QStringLiteral("coverUrl"), info.coverUrl},       {QStringLiteral("fileUrl"), info.fileUrl},
        {QStringLiteral("infoText"), info.infoText},
    };
    constexpr int Width = 13;
    QString out;
    for (const auto &[key, value] : rows) {
        // Continuation lines line up under the first so multi-line texts stay readable.
        QStringList lines = value.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
        out += key.leftJustified(Width) + lines.takeFirst() + u'\n';
        for (const QString &line : lines)
            out += QString(Width, u' ') + line + u'\n';
    }
    return out;
}

int runInfo(const RunContext &context, const QStringList &arguments)
{
    if (const int status = checkCommandAddress(QStringLiteral("info"), arguments, context.config);
        status != Success)
        return status;
    QObject owner;
    return runCommandLoop([&](const std::function<void(int)> &done) {
        startCommandAnalysis(
            arguments.first(), context.config, context.fetchOptions, &owner,
            [&, done](int status, const SoundInfo &info) {
                if (status == Success) {
                    if (context.json)
                        printOut(QString::fromUtf8(
                            QJsonDocument(recordJson(info)).toJson(QJsonDocument::Indented)));
                    else
                        printOut(recordText(info));
                }
                done(status);
            });
    });
}

std::optional<FetchOptions> fetchOptionsFrom(const QCommandLineParser &parser)
{
    FetchOptions options;
    if (!parser.isSet(TimeoutOption))
        return options;
    bool ok = false;
    const double seconds = parser.value(TimeoutOption).toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 24 * 3600)
        return std::nullopt;
    options.stallTimeout = std::chrono::milliseconds(std::max<qint64>(1, std::llround(seconds * 1000)));
    return options;
}

} // namespace

void writeTo(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printProblem(const QString &line)
{
    printError(QStringLiteral("vexa-helper: ") + line);
}

int runCommandLoop(const std::function<void(const std::function<void(int)> &done)> &start)
{
    QEventLoop loop;
    std::optional<int> status;
    start([&](int s) {
        if (!status) {
            status = s;
            loop.quit();
        }
    });
    if (!status)
        loop.exec();
    return status.value_or(Failure);
}

int checkCommandAddress(const QString &command, const QStringList &arguments, const ServiceConfig &config)
{
    if (arguments.size() != 1) {
        printProblem(arguments.isEmpty()
                         ? command + QStringLiteral(" needs a sound page address")
                         : command + QStringLiteral(" takes one address; quote it if it holds spaces"));
        return UsageError;
    }
    const AddressCheck check = checkSoundAddress(arguments.first(), config.webHost);
    if (check != AddressCheck::Accepted) {
        printError(addressCheckMessage(check));
        return AddressRejected;
    }
    return Success;
}

void startCommandAnalysis(const QString &address, const ServiceConfig &config, const FetchOptions &options,
                          QObject *parent, std::function<void(int status, const SoundInfo &record)> then)
{
    auto *analysis = new SoundAnalysis(address, config.apiHost, options, parent);
    const QString url = soundInfoUrl(analysis->soundId(), config.apiHost);
    QObject::connect(
        analysis, &SoundAnalysis::finished, parent,
        [url, then = std::move(then)](const AnalysisResult &result) {
            switch (result.status) {
            case AnalysisStatus::FetchFailed:
            case AnalysisStatus::Abandoned:
                printProblem(QStringLiteral("could not fetch %1: %2").arg(url, result.reason));
                then(FetchFailed, {});
                return;
            case AnalysisStatus::ExtractFailed:
                printProblem(
                    QStringLiteral("no sound record in the answer from %1: %2").arg(url, result.reason));
                then(ExtractFailed, {});
                return;
            case AnalysisStatus::Done:
                then(Success, result.record);
                return;
            }
        });
    analysis->start();
}

bool wantsCommandLine(const QStringList &arguments)
{
    // Options whose value is the next argument, so it is not taken for a command.
    static const QStringList valued = {
        QStringLiteral("--timeout"),     QStringLiteral("--web-host"), QStringLiteral("--api-host"),
        QStringLiteral("--update-host"), QStringLiteral("--address"),  QStringLiteral("--screenshot"),
        QStringLiteral("-timeout"),      QStringLiteral("-web-host"),  QStringLiteral("-api-host"),
        QStringLiteral("-update-host"),  QStringLiteral("-address"),   QStringLiteral("-screenshot")};
    static const QStringList valuedOutput = {QStringLiteral("-o"), QStringLiteral("--output"),
                                             QStringLiteral("-output")};
    static const QStringList asking = {QStringLiteral("-h"),        QStringLiteral("--help"),
                                       QStringLiteral("-help"),     QStringLiteral("-v"),
                                       QStringLiteral("--version"), QStringLiteral("-version")};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            return i + 1 < arguments.size();
        if (asking.contains(argument))
            return true;
        if (valued.contains(argument) || valuedOutput.contains(argument)) {
            ++i;
            continue;
        }
        if (!argument.startsWith(u'-'))
            return true; // a command, known or not: the command line reports it
    }
    return false;
}

int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vexa-helper"));
    QCoreApplication::setApplicationVersion(versionText());

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({JsonOption, QStringLiteral("JSON output.")});
    parser.addOption({TimeoutOption, QStringLiteral("Stall time-out."), QStringLiteral("SECONDS")});
    parser.addOption({DemoOption, QStringLiteral("Use the built-in sample service.")});
    parser.addOption(
        {{QStringLiteral("o"), OutputOption}, QStringLiteral("Download folder."), QStringLiteral("DIR")});
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Help."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Version."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    addServiceHostOptions(parser);

    if (!parser.parse(QCoreApplication::arguments())) {
        printProblem(parser.errorText());
        printError(QStringLiteral("Try 'vexa-helper --help'."));
        return UsageError;
    }
    if (parser.isSet(helpOption)) {
        printOut(helpText());
        return Success;
    }
    if (parser.isSet(versionOption)) {
        printOut(versionText() + u'\n');
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

    RunContext context;
    context.json = parser.isSet(JsonOption);
    const std::optional<FetchOptions> fetchOptions = fetchOptionsFrom(parser);
    if (!fetchOptions) {
        printProblem(QStringLiteral("--timeout wants a number of seconds above 0, got \"%1\"")
                         .arg(parser.value(TimeoutOption)));
        return UsageError;
    }
    context.fetchOptions = *fetchOptions;

    std::unique_ptr<SampleService> demo;
    ServiceConfig base = ServiceConfig::defaults();
    if (parser.isSet(DemoOption)) {
        demo = std::make_unique<SampleService>();
        if (!demo->start()) {
            printProblem(QStringLiteral("the sample service could not start on a loopback port"));
            return Failure;
        }
        base = ServiceConfig::allAt(demo->hostAndPort());
        printError(demo->summary());
    }
    QString error;
    const std::optional<ServiceConfig> config = applyServiceHostOptions(parser, base, &error);
    if (!config) {
        printProblem(error);
        return UsageError;
    }
    context.config = *config;
    // The demo's port is only known now, so a bare sample id stands for its page.
    if (demo && command != QLatin1String("hot") && positional.size() == 1 &&
        !positional.first().contains(QLatin1String("://")))
        positional.first() = demo->soundPageUrl(positional.first());

    int status = Success;
    if (command == QLatin1String("download")) {
        status =
            runDownloadCommand(context.config, context.fetchOptions, positional, parser.value(OutputOption));
    } else if (command == QLatin1String("hot")) {
        const CommandOutput hot =
            runHotCommand(context.config.webHost, context.fetchOptions, context.json, positional);
        std::fwrite(hot.out.constData(), 1, size_t(hot.out.size()), stdout);
        writeTo(stderr, hot.err);
        status = hot.status;
    } else {
        status = runInfo(context, positional);
    }
    shutDownSharedNetworkManager();
    return status;
}

} // namespace Cli
