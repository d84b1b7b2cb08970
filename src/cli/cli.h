#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

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
};

// Runs the command-line front; creates its own QCoreApplication.
int run(int argc, char **argv);

// Whether these arguments (without the program name) ask for the command
// line rather than the windows: a command, help or version.
bool wantsCommandLine(const QStringList &arguments);

// Text as UTF-8, flushed at once so progress and problems keep their order.
void WriteTo(FILE *stream, const QString &text);
// "vexa-helper: LINE" on stderr.
void PrintProblem(const QString &line);

// The first steps of `info` and `download`: takes the one address of
// arguments, checks it and analyses it into record. Success, or the exit code
// after the reason went to stderr.
int AnalyseCommandAddress(const QString &command, const QStringList &arguments, const ServiceConfig &config,
                          const FetchOptions &options, SoundInfo &record);

} // namespace Cli
