#include "shell/gui_main.h"

#include "app/window_wiring.h"
#include "hotlist/hot_list_window.h"
#include "sample_service/sample_service.h"
#include "services/network_access.h"
#include "services/service_config.h"
#include "services/termination_signals.h"
#include "services/version_text.h"
#include "shell/main_window.h"
#include "shell/startup_probe.h"
#include "shell/window_chrome.h"

#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

const QString DemoOption = QStringLiteral("demo");
const QString AddressOption = QStringLiteral("address");
const QString ScreenshotOption = QStringLiteral("screenshot");

constexpr int UsageError = 64;

void printProblem(const QString &line)
{
    const QByteArray bytes = (QStringLiteral("vexa-helper: ") + line + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace

int runGui(int argc, char **argv)
{
    // Wrong usage is told before any window system is touched.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({DemoOption, QStringLiteral("Use the built-in sample service.")});
    parser.addOption({AddressOption,
                      QStringLiteral("Analyse this address (with --demo also a sample id) after start-up."),
                      QStringLiteral("ADDRESS")});
    parser.addOption(
        {ScreenshotOption, QStringLiteral("Save the window to FILE and end."), QStringLiteral("FILE")});
    addServiceHostOptions(parser);
    if (!parser.parse(arguments)) {
        printProblem(parser.errorText());
        printProblem(QStringLiteral("try 'vexa-helper --help'"));
        return UsageError;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printProblem(QStringLiteral("unknown command \"%1\"").arg(parser.positionalArguments().first()));
        return UsageError;
    }
    QString error;
    const std::optional<ServiceConfig> hosts =
        applyServiceHostOptions(parser, ServiceConfig::defaults(), &error);
    if (!hosts) {
        printProblem(error);
        return UsageError;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexa-helper"));
    // No display name: X11 would append it to every caption, and the hot
    // list's caption is "Vexa热榜" alone.
    QApplication::setApplicationVersion(versionText());
    QApplication::setDesktopFileName(QStringLiteral("org.example.vexahelper"));

    QApplication::setFont(uiFont(9));
    // Ends like the close link, also inside a wait; 128 + N as shells report it.
    const TerminationSignals termination(
        [](int signalNumber) { QCoreApplication::exit(128 + signalNumber); });

    std::unique_ptr<SampleService> demo;
    ServiceConfig base = ServiceConfig::defaults();
    QString address = parser.value(AddressOption);
    if (parser.isSet(DemoOption)) {
        demo = std::make_unique<SampleService>();
        if (!demo->start()) {
            printProblem(QStringLiteral("the sample service could not start on a loopback port"));
            return 1;
        }
        base = ServiceConfig::allAt(demo->hostAndPort());
        printProblem(demo->summary());
        // The port is only known now, so a bare sample id stands for its page.
        if (parser.isSet(AddressOption) && !address.contains(QLatin1String("://")))
            address = demo->soundPageUrl(address);
        // Ready to paste with a double-click on the address box.
        const QString first = demo->soundPageUrl(SampleService::sampleSoundIds().first());
        QGuiApplication::clipboard()->setText(first);
        printProblem(QStringLiteral("%1 is on the clipboard: double-click the address box, then press 分析")
                         .arg(first));
    }
    // Checked above; with --demo the options still override the service's hosts.
    const std::optional<ServiceConfig> config = applyServiceHostOptions(parser, base, &error);

    int status = 0;
    {
        MainWindow window(*config);
        exitAfterFirstPaintIfAsked(&window);
        // Made on first use and kept to the end, with the slots of its refresh;
        // declared after the main window so it goes first.
        std::unique_ptr<HotListWindow> hotList;
        connectHotListLink(window, *config, hotList);
        QTimer::singleShot(0, &window, [&] { window.startUp(); });
        const auto saveScreenshot = [&] {
            const QString file = parser.value(ScreenshotOption);
            if (!window.grab().save(file)) {
                printProblem(QStringLiteral("could not save the screenshot to %1").arg(file));
                QCoreApplication::exit(1);
                return;
            }
            QCoreApplication::exit(0);
        };
        // What was asked for on the command line follows the update check;
        // a screenshot waits for the analysis too.
        QObject::connect(&window, &MainWindow::updateChecked, &window, [&] {
            if (!window.isVisible())
                return; // the check ended the program
            if (parser.isSet(AddressOption)) {
                if (parser.isSet(ScreenshotOption))
                    QObject::connect(&window, &MainWindow::analysisEnded, &window, saveScreenshot,
                                     Qt::SingleShotConnection);
                window.setAddressText(address);
                window.analyseAddress();
            } else if (parser.isSet(ScreenshotOption)) {
                saveScreenshot();
            }
        });
        status = QApplication::exec();
        shutDownSharedNetworkManager();
    }
    return status;
}
