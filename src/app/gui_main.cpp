// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/gui_main.h"

#include "app/batch_wiring.h"
#include "app/desktop_wiring.h"
#include "app/program_downloads.h"
#include "app/window_wiring.h"
#include "cli/cli_output.h"
#include "cli/options.h"
#include "desktop/single_instance.h"
#include "hotlist/hot_list_window.h"
#include "library/program_settings.h"
#include "net/network_access.h"
#include "net/sample_service_process.h"
#include "net/service_config.h"
#include "net/web_address.h"
#include "probe/startup_probe.h"
#include "shell/clipboard_offer.h"
#include "shell/first_paint.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/window_chrome.h"
#include "util/termination_signals.h"
#include "util/ui_language.h"
#include "util/version_text.h"

#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QTimer>

#include <cstring>
#include <memory>
#include <optional>

namespace {

using Cli::printFailure;
using Cli::printProblem;

constexpr int UsageError = 64;

// Worded as the command line words it, so both fronts read alike. Told
// before the application object exists, so with the loaded translators.
QString usageFailure(const UiTranslators &translators)
{
    return translators.text("Cli", QT_TRANSLATE_NOOP("Cli", "用法有误"));
}

// Why the window socket's folder is not used; the window opens all the same.
QString socketFolderProblem(const UiTranslators &translators, const SingleInstance::FolderFailure &failure)
{
    using SingleInstance::FolderProblem;
    const char *why = "";
    switch (failure.reason) {
    case FolderProblem::NotMade:
        return translators
            .text("Cli", QT_TRANSLATE_NOOP("Cli", "无法使用（%1），此窗口不接收之后启动时交来的地址"))
            .arg(QString::fromLocal8Bit(std::strerror(failure.code)));
    case FolderProblem::Symlink:
        why = QT_TRANSLATE_NOOP("Cli", "它是符号链接，此窗口不接收之后启动时交来的地址");
        break;
    case FolderProblem::NotAFolder:
        why = QT_TRANSLATE_NOOP("Cli", "它不是文件夹，此窗口不接收之后启动时交来的地址");
        break;
    case FolderProblem::OtherOwner:
        why = QT_TRANSLATE_NOOP("Cli", "它属于其他用户，此窗口不接收之后启动时交来的地址");
        break;
    case FolderProblem::OpenToOthers:
        why = QT_TRANSLATE_NOOP("Cli", "其他用户也能进入（权限应为 0700），此窗口不接收之后启动时交来的地址");
        break;
    }
    return translators.text("Cli", why);
}

// The main window, its downloads and, made on first use, the hot list, doing
// what the command line asked of them once the update check is through.
class Windows
{
public:
    // address: analysed once the check is through, when given; so are the
    // downloads queued then.
    Windows(const ServiceConfig &config, const QCommandLineParser &parser,
            const std::optional<QString> &address, const QStringList &downloads)
        : m_main(config)
        , m_downloads(m_main, m_settings, config, {})
        , m_batches(m_downloads)
    {
        m_main.useSettings(m_settings);
        exitAfterFirstPaintIfAsked(&m_main);
        connectHotListLink(m_main, config, m_hotList, &m_batches, &m_downloads.history());
        connectDownloadNotifications(m_main, m_downloads.queue());
        // The session bus is not in the first frame.
        afterFirstPaint(&m_main, [this] { exportMediaControls(m_main); });
        // Down and right of the first window, as window managers place a second one.
        if (parser.isSet(Options::NewWindow))
            m_main.setPlaceOffset({24, 24});
        QTimer::singleShot(0, &m_main, [this] { m_main.startUp(); });
        const bool analyse = address.has_value();
        const bool screenshot = parser.isSet(Options::Screenshot);
        const QString file = parser.value(Options::Screenshot);
        // Nobody is there to answer a box: its text goes to the terminal,
        // and the run goes on as if it had been answered.
        if (screenshot)
            setMessageAnswerer([](MessageKind, const QString &, const QString &text) { printProblem(text); });
        // A screenshot waits for the analysis too.
        QObject::connect(&m_main, &MainWindow::updateChecked, &m_main, [=, this] {
            if (!m_main.isVisible())
                return; // the check ended the program
            if (!downloads.isEmpty())
                m_batches.download(downloads);
            if (analyse) {
                if (screenshot)
                    QObject::connect(
                        &m_main, &MainWindow::analysisEnded, &m_main, [this, file] { saveScreenshot(file); },
                        Qt::SingleShotConnection);
                m_main.setAddressText(*address);
                m_main.analyseAddress();
            } else if (screenshot) {
                saveScreenshot(file);
            }
        });
    }

    MainWindow &mainWindow() { return m_main; }
    ProgramDownloads &downloads() { return m_downloads; }
    BatchWiring &batches() { return m_batches; }

private:
    void saveScreenshot(const QString &file)
    {
        if (!m_main.grab().save(file)) {
            printFailure(QCoreApplication::translate("Cli", "无法保存截图"),
                         QCoreApplication::translate("Cli", "无法写入 %1").arg(file));
            QCoreApplication::exit(1);
            return;
        }
        QCoreApplication::exit(0);
    }

    ProgramSettings m_settings; // the one every window and download follows; outlives them
    MainWindow m_main;
    ProgramDownloads m_downloads;             // after the main window, which it uses until it goes
    BatchWiring m_batches;                    // after the downloads, whose queue it fills
    std::unique_ptr<HotListWindow> m_hotList; // declared after the main window so it goes first
};

void listenForLaterStarts(InstanceServer &server, const QString &path, MainWindow &main, BatchWiring &batches)
{
    const auto listening = server.listen(path);
    if (!listening) {
        printFailure(QCoreApplication::translate("Cli", "无法在 %1 接收之后启动时交来的地址").arg(path),
                     listening.error().detail);
        return;
    }
    QObject::connect(&server, &InstanceServer::addressReceived, &main,
                     [&main](const QString &handed) { takeHandedOverAddress(main, handed); });
    QObject::connect(&server, &InstanceServer::downloadsReceived, &main,
                     [&main, &batches](const QStringList &handed) {
                         takeHandedOverAddress(main, {});
                         batches.download(handed);
                     });
}

} // namespace

int runGui(int argc, char **argv)
{
    // Wrong usage is told before any window system is touched.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    Options::addTo(parser, Options::Front::Window);
    // Loaded now so that a wrong --lang is told before any window system is
    // touched; installed once the application exists.
    const bool parsed = parser.parse(arguments);
    auto loaded = loadUiLanguage(
        parser.isSet(Options::Language) ? std::optional(parser.value(Options::Language)) : std::nullopt);
    if (!loaded) {
        // Told in the user's own language.
        printProblem(languageProblemText(*loadUiLanguage(std::nullopt).value(), loaded.error()));
        return UsageError;
    }
    const std::unique_ptr<UiTranslators> translators = std::move(loaded).value();
    if (!parsed) {
        printFailure(usageFailure(*translators), parser.errorText());
        printProblem(translators->text("Cli", QT_TRANSLATE_NOOP("Cli", "用法见 “vexa-helper --help”")));
        return UsageError;
    }
    // One bare web address, as a desktop link passes it, stands for --address.
    std::optional<QString> address;
    if (parser.isSet(Options::Address))
        address = parser.value(Options::Address);
    QStringList positional = parser.positionalArguments();
    // --download takes every address given, a lone one included.
    QStringList downloads;
    if (parser.isSet(Options::Download)) {
        downloads = std::exchange(positional, {});
        if (downloads.isEmpty()) {
            printFailure(
                usageFailure(*translators),
                translators->text("Cli", QT_TRANSLATE_NOOP("Cli", "--download 后面要写音乐页面地址")));
            return UsageError;
        }
    }
    if (!address && positional.size() == 1 && isWebAddress(positional.first()))
        address = positional.takeFirst();
    if (!positional.isEmpty()) {
        printFailure(
            usageFailure(*translators),
            translators->text("Cli", QT_TRANSLATE_NOOP("Cli", "未知命令 “%1”")).arg(positional.first()));
        return UsageError;
    }
    const auto hosts = applyServiceHostOptions(parser, ServiceConfig::defaults());
    if (!hosts) {
        printFailure(usageFailure(*translators), hostOptionFailureText(hosts.error(), translators.get()));
        return UsageError;
    }

    // A window already open takes the address and this start ends. Not so
    // for the demo, whose sample service the open window does not know, nor
    // for a screenshot, which is of a window of its own.
    const auto instancePlace = SingleInstance::socketPlace();
    const QString instancePath = instancePlace.value_or(QString());
    bool listens = !parser.isSet(Options::NewWindow) && !parser.isSet(Options::Demo) &&
                   !parser.isSet(Options::Screenshot);
    if (listens && !instancePlace) {
        printFailure(translators->text("Cli", QT_TRANSLATE_NOOP("Cli", "不使用文件夹 %1"))
                         .arg(instancePlace.error().detail),
                     socketFolderProblem(*translators, instancePlace.error()));
        listens = false;
    }
    if (listens) {
        const SingleInstance::HandOver handed =
            downloads.isEmpty() ? SingleInstance::handOver(instancePath, address.value_or(QString()))
                                : SingleInstance::handOverDownloads(instancePath, downloads);
        switch (handed) {
        case SingleInstance::HandOver::Delivered:
            if (address && !downloads.isEmpty())
                SingleInstance::handOver(instancePath, *address);
            return 0;
        case SingleInstance::HandOver::NoAnswer:
            listens = false; // a window is there, though stuck: never take its place
            printProblem(translators->text(
                "Cli", QT_TRANSLATE_NOOP("Cli", "已打开的窗口没有回应，另开一个不接收地址的窗口")));
            break;
        case SingleInstance::HandOver::NotOurs:
            listens = false;
            printProblem(translators
                             ->text("Cli", QT_TRANSLATE_NOOP("Cli", "%1 是其他用户的，没有交给它任何地址；"
                                                                    "另开一个不接收地址的窗口"))
                             .arg(instancePath));
            break;
        case SingleInstance::HandOver::NoWindow:
            break;
        }
    }

    QApplication app(argc, argv);
    translators->install();
    QApplication::setApplicationName(QStringLiteral("vexa-helper"));
    // No display name: X11 would append it to every caption, and the hot
    // list's caption is "Vexa热榜" alone.
    QApplication::setApplicationVersion(versionText());
    QApplication::setDesktopFileName(QStringLiteral("org.example.vexahelper"));

    QApplication::setFont(uiFont(9));
    // Ends like the close link, also inside a wait; 128 + N as shells report it.
    const TerminationSignals termination(
        [](int signalNumber) { QCoreApplication::exit(128 + signalNumber); });

    // Declared before the windows, so the service outlives them.
    std::unique_ptr<SampleServiceProcess> demo;
    std::unique_ptr<Windows> windows;
    if (parser.isSet(Options::Demo)) {
        // The windows open once the service has told its port; without it
        // none opens at all.
        demo = std::make_unique<SampleServiceProcess>();
        QObject::connect(demo.get(), &SampleServiceProcess::failed, demo.get(), [](const QString &message) {
            printFailure(QCoreApplication::translate("Cli", "示例服务未能启动"), message);
            QCoreApplication::exit(1);
        });
        QObject::connect(demo.get(), &SampleServiceProcess::ready, demo.get(), [&] {
            printProblem(QCoreApplication::translate("Cli", "使用示例服务：%1").arg(demo->summary()));
            // Ready to paste with a double-click on the address box.
            const QString first = demo->soundPageUrl(demo->sampleSoundIds().first());
            putOwnTextOnClipboard(first);
            printProblem(
                QCoreApplication::translate("Cli", "%1 已复制到剪贴板：双击地址框，再按“分析”").arg(first));
            // Checked above; the host options still override the service's hosts. The
            // port is only known now, so a bare sample id stands for its page.
            QStringList pages;
            for (const QString &download : downloads)
                pages.append(demo->pageAddress(download));
            windows = std::make_unique<Windows>(
                *applyServiceHostOptions(parser, ServiceConfig::allAt(demo->hostAndPort())), parser,
                address ? std::optional(demo->pageAddress(*address)) : std::nullopt, pages);
        });
        demo->start();
    } else {
        windows = std::make_unique<Windows>(*hosts, parser, address, downloads);
    }
    // Later starts hand their addresses here, once the first frame is up.
    // Failing to listen costs only that: this window works on alone.
    InstanceServer instanceServer;
    if (listens) {
        afterFirstPaint(&windows->mainWindow(), [&] {
            listenForLaterStarts(instanceServer, instancePath, windows->mainWindow(), windows->batches());
        });
    }

    const int status = QApplication::exec();
    windows.reset();
    shutDownSharedNetworkManager();
    return status;
}
