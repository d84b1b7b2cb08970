// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Async-signal-safe; the event loop reads the byte.
void writeSignalByte(int signalNumber)
{
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void(int signalNumber)> onSignal)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [onSignal = std::move(onSignal)] {
        char byte = 0;
        if (::read(signalPipe[0], &byte, 1) == 1)
            onSignal(byte);
    });
    struct sigaction action = {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &m_savedInt);
    ::sigaction(SIGTERM, &action, &m_savedTerm);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    ::sigaction(SIGINT, &m_savedInt, nullptr);
    ::sigaction(SIGTERM, &m_savedTerm, nullptr);
    m_notifier.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}
