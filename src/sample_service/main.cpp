// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here; the event loop picks the byte up.
void onSignal(int signalNumber)
{
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool installQuitSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vexa-sample-service"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the built-in sample sounds, pages and faults on a local HTTP port."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on (0 picks a free one)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption bindOption(QStringLiteral("bind"), QStringLiteral("Address to listen on."),
                                        QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption stdinOption(
        QStringLiteral("end-with-stdin"),
        QStringLiteral(
            "End when standard input closes, as it does when the program that started this one ends."));
    parser.addOption(portOption);
    parser.addOption(bindOption);
    parser.addOption(stdinOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "vexa-sample-service: invalid port: %s\n", qPrintable(parser.value(portOption)));
        return 2;
    }
    if (!installQuitSignals()) {
        std::perror("vexa-sample-service: cannot install signal handlers");
        return 1;
    }

    SampleService service;
    if (!service.start(quint16(port), parser.value(bindOption))) {
        std::fprintf(stderr, "vexa-sample-service: cannot listen on %s:%u\n",
                     qPrintable(parser.value(bindOption)), port);
        return 1;
    }

    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });

    // A program that started this one for its demo holds the other end of
    // standard input; when that program ends, however it ends, the pipe closes.
    std::unique_ptr<QSocketNotifier> stdinWatch;
    if (parser.isSet(stdinOption)) {
        stdinWatch = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(stdinWatch.get(), &QSocketNotifier::activated, &app, [] {
            char buffer[256];
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
                QCoreApplication::quit();
        });
    }

    // Scripts wait for the first line to learn the port; a program running
    // its demo on this service also takes the line for people, the sample
    // ids and where their pages are from the three after it.
    const QByteArray lines = "vexa-sample-service listening on " + service.baseUrl().toUtf8() + '\n' +
                             service.summary().toUtf8() + '\n' +
                             "sample sounds: " + SampleService::sampleSoundIds().join(u' ').toUtf8() + '\n' +
                             "sound pages: " + service.soundPageUrl(QString()).toUtf8() + '\n';
    std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
    std::fflush(stdout);

    app.exec();
    service.stop();
    return 0;
}
