// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;
struct FetchOptions;
struct ServiceConfig;
struct SoundInfo;

namespace Cli {

// Exit statuses of the command-line front.
enum ExitCode : int {
    Success = 0,
    Failure = 1,         // anything not listed below, e.g. the demo service did not start
    AddressRejected = 2, // the address check refused the address
    FetchFailed = 3,     // the sound-info answer or the home page did not arrive
    ExtractFailed = 4,   // the answer holds no sound record, or the home page no hot-list entry
    DownloadFailed = 5,  // the sound file could not be saved
    UsageError = 64,
    Interrupted = 130, // Ctrl-C; 128 and the signal's number for any other stop
};

// The one event loop a command runs: start() begins the command's work and
// is handed done(), which the work calls once with the exit status.
int runCommandLoop(const std::function<void(const std::function<void(int)> &done)> &start);

// The first step of `info` and `download`: the one address of arguments,
// checked. Success, or the exit code after the reason went to stderr.
int checkCommandAddress(const QString &command, const QStringList &arguments, const ServiceConfig &config);

// Why address was refused: the check's own text, or for a bare sample id
// without --demo (which would have made it a page) that it needs --demo.
QString addressRefusal(const QString &address, const QString &webHost);

// The second step: analyses address, then hands then() Success and the
// record, or the exit code after the reason went to stderr. The analysis
// is a child of parent.
void startCommandAnalysis(const QString &address, const ServiceConfig &config, const FetchOptions &options,
                          QObject *parent, std::function<void(int status, const SoundInfo &record)> then);

} // namespace Cli
