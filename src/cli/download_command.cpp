#include "cli/download_command.h"

#include "cli/cli.h"
#include "services/sound_download.h"
#include "services/termination_signals.h"
#include "services/web_address.h"
#include "sound/sound_analysis.h"
#include "sound/sound_info.h"
#include "sound/sound_link.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>

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
            WriteTo(stderr,
                    u'\r' + ProgressLine(received, total, speed(transferred)) + QStringLiteral("\x1b[K"));
            m_drawn = true;
            return;
        }
        const int tenth = total > 0 ? int(received * 10 / total) : int(received / (64 * 1024 * 1024));
        if (tenth == m_lastTenth)
            return;
        m_lastTenth = tenth;
        WriteTo(stderr, ProgressLine(received, total, speed(transferred), 0) + u'\n');
    }

    // A line of its own, below any progress drawn so far.
    void note(const QString &text)
    {
        if (m_terminal && m_drawn)
            WriteTo(stderr, QStringLiteral("\n"));
        m_drawn = false;
        WriteTo(stderr, text + u'\n');
    }

    void end(qint64 received, qint64 total, qint64 transferred, bool ok)
    {
        if (m_terminal && (m_drawn || ok))
            WriteTo(stderr,
                    u'\r' + ProgressLine(received, total, speed(transferred)) + QStringLiteral("\x1b[K\n"));
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

QString ByteSizeText(double bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(qint64(bytes));
    const char *units[] = {"KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    bytes /= 1024;
    while (bytes >= 1024 && unit < 3) {
        bytes /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(bytes, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString ProgressLine(qint64 received, qint64 total, double bytesPerSecond, int barWidth)
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
                    .arg(ByteSizeText(double(received)), ByteSizeText(double(total)));
    } else {
        line += ByteSizeText(double(received));
    }
    return line + QStringLiteral("  ") + ByteSizeText(bytesPerSecond) + QStringLiteral("/s");
}

int RunDownloadCommand(const ServiceConfig &config, const FetchOptions &options, const QStringList &arguments,
                       const QString &folder)
{
    SoundInfo record;
    if (const int status =
            AnalyseCommandAddress(QStringLiteral("download"), arguments, config, options, record);
        status != Success)
        return status;

    const QString fileUrl = record.fileUrl;
    DownloadRequest request;
    request.fileUrl = fileUrl;
    request.folder = folder;
    if (request.folder.isEmpty())
        request.folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (request.folder.isEmpty())
        request.folder = QDir::homePath();
    request.fileName = SoundFileName(record.singer, record.soundName, fileUrl);
    request.stallTimeout = options.stallTimeout;

    SoundDownload download(request);
    ProgressReport report;
    QEventLoop loop;
    QObject::connect(&download, &SoundDownload::progress, &loop, [&](qint64 received, qint64 total) {
        report.update(received, total, download.transferred());
    });
    QObject::connect(&download, &SoundDownload::retrying, &loop, [&](int attempt, int attempts) {
        report.note(
            QStringLiteral("the connection broke off; retrying, try %1 of %2").arg(attempt).arg(attempts));
    });
    QObject::connect(&download, &SoundDownload::finished, &loop, &QEventLoop::quit);
    // Ctrl-C or a termination request ends the download cleanly: a part
    // file that can be continued stays for the next run, others go.
    const TerminationSignals guard([&download](int) { download.abort(); });
    download.start();
    if (download.resumedFrom() > 0)
        WriteTo(stderr, QStringLiteral("continuing an earlier partial download at %1\n")
                            .arg(ByteSizeText(double(download.resumedFrom()))));
    loop.exec();
    if (download.isRunning())
        download.abort(); // the loop was told to end

    const DownloadResult &result = download.result();
    report.end(download.received(), download.total(), download.transferred(), result.ok());
    if (!result.ok()) {
        PrintProblem(QStringLiteral("could not download %1: %2").arg(fileUrl, result.detail));
        if (!result.partPath.isEmpty())
            WriteTo(stderr, QStringLiteral("kept %1; the same command continues it\n")
                                .arg(QDir::toNativeSeparators(result.partPath)));
        return DownloadFailed;
    }
    WriteTo(stdout, QDir::toNativeSeparators(result.filePath) + u'\n');
    return Success;
}

} // namespace Cli
