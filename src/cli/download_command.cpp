// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/download_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "services/sound_download.h"
#include "services/termination_signals.h"
#include "services/web_address.h"
#include "sound/sound_analysis.h"
#include "sound/sound_download_request.h"
#include "sound/sound_info.h"
#include "sound/sound_link.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <unistd.h>

namespace Cli {

namespace {

// Redraws one line on a terminal; elsewhere (a log, a pipe) writes a plain
// line at every tenth of the way, so the output stays readable. The speed
// counts only what came over the network: a continued part file is not.
class ProgressReport
{
public:
    ProgressReport()
        : m_terminal(::isatty(STDERR_FILENO) == 1)
    {
        m_clock.start();
    }

    void update(qint64 received, qint64 total, qint64 transferred)
    {
        if (m_terminal) {
            if (m_lastDraw.isValid() && m_lastDraw.elapsed() < 100)
                return;
            m_lastDraw.start();
            writeTo(stderr,
                    u'\r' + progressLine(received, total, speed(transferred)) + QStringLiteral("\x1b[K"));
            m_drawn = true;
            return;
        }
        const int tenth = total > 0 ? int(received * 10 / total) : int(received / (64 * 1024 * 1024));
        if (tenth == m_lastTenth)
            return;
        m_lastTenth = tenth;
        writeTo(stderr, progressLine(received, total, speed(transferred), 0) + u'\n');
    }

    // A line of its own, below any progress drawn so far.
    void note(const QString &text)
    {
        if (m_terminal && m_drawn)
            writeTo(stderr, QStringLiteral("\n"));
        m_drawn = false;
        printProblem(text);
    }

    void end(qint64 received, qint64 total, qint64 transferred, bool ok)
    {
        if (m_terminal && (m_drawn || ok))
            writeTo(stderr,
                    u'\r' + progressLine(received, total, speed(transferred)) + QStringLiteral("\x1b[K\n"));
    }

private:
    double speed(qint64 transferred) const
    {
        const double seconds = double(m_clock.nsecsElapsed()) / 1e9;
        return seconds > 0 ? double(transferred) / seconds : 0.0;
    }

    const bool m_terminal;
    QElapsedTimer m_clock;
    QElapsedTimer m_lastDraw;
    bool m_drawn = false;
    int m_lastTenth = 0;
};

} // namespace

QString progressLine(qint64 received, qint64 total, double bytesPerSecond, int barWidth)
{
    QString line;
    if (total > 0) {
        const double share = std::clamp(double(received) / double(total), 0.0, 1.0);
        if (barWidth > 0) {
            const int filled = int(share * barWidth);
            line += u'[' + QString(filled, u'#') + QString(barWidth - filled, u'-') + QStringLiteral("] ");
        }
        line += QStringLiteral("%1%  %2 / %3")
                    .arg(int(share * 100), 3)
                    .arg(byteSizeText(double(received)), byteSizeText(double(total)));
    } else {
        line += byteSizeText(double(received));
    }
    return line + QStringLiteral("  ") + byteSizeText(bytesPerSecond) + QStringLiteral("/s");
}

namespace {

// The download step, once the record is in: reports progress, retries and
// the outcome, then calls done with the exit status.
class DownloadStep : public QObject
{
public:
    DownloadStep(const DownloadRequest &request, std::function<void(int)> done)
        : m_download(request)
        , m_done(std::move(done))
        // Ctrl-C or a termination request ends the download cleanly: a part
        // file that can be continued stays for the next run, others go.
        , m_guard([this](int) { m_download.abort(); })
    {
        connect(&m_download, &SoundDownload::progress, this, [this](qint64 received, qint64 total) {
            m_report.update(received, total, m_download.transferred());
        });
        connect(&m_download, &SoundDownload::retrying, this, [this](int attempt, int attempts) {
            m_report.note(QCoreApplication::translate("Cli", "连接中断，正在重试（第 %1 次，共 %2 次）")
                              .arg(attempt)
                              .arg(attempts));
        });
        connect(&m_download, &SoundDownload::finished, this, &DownloadStep::report);
        m_download.start();
        if (m_download.resumedFrom() > 0)
            printProblem(QCoreApplication::translate("Cli", "从 %1 处继续先前未完成的下载")
                             .arg(byteSizeText(double(m_download.resumedFrom()))));
    }

private:
    void report(const DownloadResult &result)
    {
        m_report.end(m_download.received(), m_download.total(), m_download.transferred(), result.ok());
        if (!result.ok()) {
            printFailure(QCoreApplication::translate("Cli", "无法下载 %1").arg(m_download.request().fileUrl),
                         result.detail);
            if (!result.partPath.isEmpty())
                printProblem(QCoreApplication::translate("Cli", "已保留 %1，再次运行同一命令即可继续下载")
                                 .arg(QDir::toNativeSeparators(result.partPath)));
            m_done(DownloadFailed);
            return;
        }
        if (!result.untagged.isEmpty())
            printFailure(QCoreApplication::translate("Cli", "已保存，但未写入标签"), result.untagged);
        writeTo(stdout, QDir::toNativeSeparators(result.filePath) + u'\n');
        m_done(Success);
    }

    SoundDownload m_download;
    ProgressReport m_report;
    std::function<void(int)> m_done;
    TerminationSignals m_guard;
};

} // namespace

int runDownloadCommand(const ServiceConfig &config, const FetchOptions &options, const QStringList &arguments,
                       const DownloadSettings &settings)
{
    if (const int status = checkCommandAddress(QStringLiteral("download"), arguments, config);
        status != Success)
        return status;

    QObject owner;
    std::unique_ptr<DownloadStep> step;
    const int status = runCommandLoop([&](const std::function<void(int)> &done) {
        startCommandAnalysis(
            arguments.first(), config, options, &owner, [&, done](int analysed, const SoundInfo &record) {
                if (analysed != Success) {
                    done(analysed);
                    return;
                }
                DownloadRequest request =
                    soundDownloadRequest(record, soundPagePrefix(config.webHost) + record.soundId, settings);
                request.stallTimeout = options.stallTimeout;
                step = std::make_unique<DownloadStep>(request, done);
            });
    });
    return status;
}

} // namespace Cli
