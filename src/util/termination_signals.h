// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSocketNotifier>

#include <csignal>
#include <functional>
#include <memory>

// While it lives, Ctrl-C (SIGINT) and a termination request (SIGTERM) call
// onSignal with the signal's number from the event loop instead of ending
// the process at once, so pending waits unwind and files and windows are
// cleaned up in order. One at a time; the handlers it replaced come back
// when it goes.
class TerminationSignals
{
public:
    explicit TerminationSignals(std::function<void(int signalNumber)> onSignal);
    ~TerminationSignals();

    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_savedInt = {};
    struct sigaction m_savedTerm = {};
};
