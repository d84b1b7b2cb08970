// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/batch_download.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "cli/download_command.h"
#include "library/download_history.h"
#include "queue/download_queue.h"
#include "sound/sound_link.h"
#include "util/termination_signals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <unistd.h>

namespace Cli {

QString batchProgressLine(int through, int total, qint64 bytes, qint64 knownTotal, double bytesPerSecond)
{
    QString line = QStringLiteral("%1/%2  %3").arg(through).arg(total).arg(byteSizeText(double(bytes)));
    if (knownTotal > 0)
        line += QStringLiteral(" / ") + byteSizeText(double(knownTotal));
    return line + QStringLiteral("  ") + byteSizeText(bytesPerSecond) + QStringLiteral("/s");
}

namespace {

// Progress on stderr. On a terminal one line is redrawn in place and wiped
// before anything else is written; elsewhere a lone download writes a
// plain line at every tenth of the way and several write nothing per
// chunk, so logs stay short.
class ProgressLines
{
public:
    ProgressLines()
        : m_terminal(::isatty(STDERR_FILENO) == 1)
    {}

    bool isTerminal() const { return m_terminal; }

    void draw(const QString &line, bool now = false)
    {
        if (!now && m_lastDraw.isValid() && m_lastDraw.elapsed() < 100)
            return;
        m_lastDraw.start();
        writeTo(stderr, u'\r' + line + QStringLiteral("\x1b[K"));
        m_drawn = true;
    }

    // A line at each tenth of received / total (or each 64 MiB when the total is unknown).
    void tenth(qint64 received, qint64 total, double speed)
    {
        const int tenth = total > 0 ? int(received * 10 / total) : int(received / (64 * 1024 * 1024));
        if (tenth == m_lastTenth)
            return;
        m_lastTenth = tenth;
        writeTo(stderr, progressLine(received, total, speed, 0) + u'\n');
    }

    void wipe()
    {
        if (m_drawn)
            writeTo(stderr, QStringLiteral("\r\x1b[K"));
        m_drawn = false;
    }

    // Ends the drawn line so that it stays above what follows.
    void keep()
    {
        if (m_drawn)
            writeTo(stderr, QStringLiteral("\n"));
        m_drawn = false;
    }

private:
    const bool m_terminal;
    QElapsedTimer m_lastDraw;
    bool m_drawn = false;
    int m_lastTenth = 0;
};

class BatchRun : public QObject
{
public:
    BatchRun(const ServiceConfig &config, const FetchOptions &fetchOptions, const DownloadSettings &settings,
             const BatchOptions &options, std::function<void(int)> done)
        : m_config(config)
        , m_queue(m_history, options.jobs)
        , m_batch(m_queue, config, settings, fetchOptions)
        , m_done(std::move(done))
        , m_guard([this](int) { stop(); })
    {
        // Said once; the downloads go on with or without a history on disk.
        if (!m_history.problem().isEmpty())
            printProblem(m_history.problem());
        m_history.setBusyNotice([this](const QString &text) {
            m_progress.keep();
            printProblem(text);
        });
        // Entries a killed run left behind become paused, so the window can continue them.
        m_history.pauseOrphans();
        m_queue.setStallTimeout(fetchOptions.stallTimeout);
        m_batch.setDonePolicy(options.force ? DownloadBatch::DonePolicy::Download
                                            : DownloadBatch::DonePolicy::Skip);
        connect(&m_batch, &DownloadBatch::queued, this, &BatchRun::onQueued);
        connect(&m_batch, &DownloadBatch::failed, this, &BatchRun::onFailed);
        connect(&m_batch, &DownloadBatch::skipped, this, &BatchRun::onSkipped);
        connect(&m_batch, &DownloadBatch::analysed, this, &BatchRun::finishIfThrough);
        connect(&m_queue, &DownloadQueue::changed, this, &BatchRun::onChanged);
        connect(&m_queue, &DownloadQueue::ended, this, &BatchRun::onEnded);
        connect(&m_queue, &DownloadQueue::retrying, this, [this](qint64, int attempt, int attempts) {
            m_progress.keep();
            printProblem(QCoreApplication::translate("Cli", "连接中断，正在重试（第 %1 次，共 %2 次）")
                             .arg(attempt)
                             .arg(attempts));
        });
    }

    void start(const QList<DownloadBatch::Item> &items)
    {
        m_total = int(items.size());
        QList<DownloadBatch::Item> accepted;
        for (const DownloadBatch::Item &item : items) {
            const AddressCheck check = checkSoundAddress(item.address, m_config.webHost);
            if (check == AddressCheck::Accepted) {
                accepted.append(item);
                continue;
            }
            // The refusal is the window's own text, so both fronts say the same.
            const QString reason = addressCheckMessage(check);
            printFailure(QCoreApplication::translate("Cli", "地址未被接受"), reason);
            fail(item.address, item.name, reason, AddressRejected);
        }
        m_batch.add(accepted);
    }

private:
    struct Failure
    {
        QString address;
        QString name;
        QString reason;
    };

    bool lone() const { return m_total == 1; }

    void fail(const QString &address, const QString &name, const QString &reason, int status)
    {
        m_failures.append({address, name, reason});
        m_status = status;
        ++m_through;
    }

    void onQueued(const QString &address, qint64 id)
    {
        m_address.insert(id, address);
        if (!m_bytes.contains(id))
            m_bytes.insert(id, {0, -1});
    }

    void onFailed(const DownloadBatch::Failure &failure)
    {
        m_progress.wipe();
        const QString url = soundInfoUrl(soundIdFromAddress(failure.address), m_config.apiHost);
        switch (failure.analysis) {
        case AnalysisStatus::ExtractFailed:
            printFailure(QCoreApplication::translate("Cli", "%1 的回答中没有音乐信息").arg(url),
                         failure.reason);
            fail(failure.address, {}, failure.reason, ExtractFailed);
            break;
        case AnalysisStatus::FetchFailed:
        case AnalysisStatus::Abandoned:
            printFailure(QCoreApplication::translate("Cli", "无法获取 %1").arg(url), failure.reason);
            fail(failure.address, {}, failure.reason, FetchFailed);
            break;
        case AnalysisStatus::Done:
            printFailure(QCoreApplication::translate("Cli", "无法下载 %1").arg(failure.address),
                         failure.reason);
            fail(failure.address, {}, failure.reason, DownloadFailed);
            break;
        }
    }

    void onSkipped(const QString &, const DownloadEntry &done)
    {
        m_progress.wipe();
        if (done.state != DownloadState::Done) {
            // Its path is known only once that run has saved it.
            printProblem(QCoreApplication::translate("Cli", "“%1” 正由另一个下载保存到 %2，跳过")
                             .arg(done.name.isEmpty() ? done.soundId : done.name,
                                  QDir::toNativeSeparators(done.folder)));
            ++m_through;
            return;
        }
        const QString path = QDir::toNativeSeparators(done.savedPath);
        printProblem(
            QCoreApplication::translate("Cli", "已下载过 “%1”，跳过；文件在 %2（重新下载请加 --force）")
                .arg(done.name.isEmpty() ? done.soundId : done.name, path));
        // Scripts read where each sound is, whether saved now or before.
        writeTo(stdout, path + u'\n');
        ++m_through;
    }

    void onChanged(qint64 id)
    {
        // Every download of this queue is ours; the first changes come
        // before queued() has told the id.
        if (m_stopping || (!lone() && !m_progress.isTerminal()))
            return;
        const std::optional<DownloadEntry> entry = m_queue.entry(id);
        if (!entry || entry->state != DownloadState::Running)
            return;
        m_bytes[id] = {entry->bytesDone, entry->size};
        if (lone()) {
            // The queue tells a start before any byte came over the network,
            // so bytes then are those of an earlier part file.
            if (!m_started && entry->bytesDone > 0)
                printProblem(QCoreApplication::translate("Cli", "从 %1 处继续先前未完成的下载")
                                 .arg(byteSizeText(double(entry->bytesDone))));
            m_started = true;
            m_speed = m_queue.speed(id);
            if (m_progress.isTerminal())
                m_progress.draw(progressLine(entry->bytesDone, entry->size, m_speed));
            else
                m_progress.tenth(entry->bytesDone, entry->size, m_speed);
            return;
        }
        drawAll(false);
    }

    void drawAll(bool now)
    {
        qint64 bytes = 0;
        qint64 known = 0;
        double speed = 0;
        for (auto it = m_bytes.cbegin(); it != m_bytes.cend(); ++it) {
            bytes += it->first;
            known += std::max<qint64>(it->second, 0);
            speed += m_queue.speed(it.key());
        }
        m_progress.draw(batchProgressLine(m_through, m_total, bytes, known, speed), now);
    }

    void onEnded(const DownloadEntry &entry, const DownloadResult &result)
    {
        const qint64 id = entry.id;
        if (m_stopping || !m_address.contains(id) || m_ended.contains(id))
            return;
        m_ended.insert(id);
        m_bytes[id] = {entry.bytesDone, entry.size};
        if (lone()) {
            const qint64 size = entry.size;
            if (m_progress.isTerminal() && result.ok())
                m_progress.draw(progressLine(result.bytes, size, m_speed), true);
            else if (!m_progress.isTerminal() && result.ok())
                m_progress.tenth(size > 0 ? size : result.bytes, size, m_speed);
            m_progress.keep();
        } else {
            m_progress.wipe();
        }
        if (result.ok()) {
            ++m_through;
            if (!result.untagged.isEmpty())
                printFailure(QCoreApplication::translate("Cli", "已保存，但未写入标签"), result.untagged);
            writeTo(stdout, QDir::toNativeSeparators(result.filePath) + u'\n');
        } else {
            printFailure(QCoreApplication::translate("Cli", "无法下载 %1").arg(entry.fileUrl), result.detail);
            if (!result.partPath.isEmpty())
                printProblem(QCoreApplication::translate("Cli", "已保留 %1，再次运行同一命令即可继续下载")
                                 .arg(QDir::toNativeSeparators(result.partPath)));
            fail(m_address.value(id), entry.name, result.detail, DownloadFailed);
        }
        if (!lone() && m_progress.isTerminal())
            drawAll(true);
        finishIfThrough();
    }

    void finishIfThrough()
    {
        if (m_batch.isAnalysing() || m_ended.size() < m_address.size())
            return;
        finish();
    }

    // Ctrl-C or a termination request: what runs or waits is paused, its
    // part file kept for the window or a later run.
    void stop()
    {
        if (m_stopping)
            return;
        m_stopping = true;
        m_progress.keep();
        for (auto it = m_address.cbegin(); it != m_address.cend(); ++it) {
            if (m_ended.contains(it.key()))
                continue;
            m_queue.pause(it.key());
            const std::optional<DownloadEntry> entry = m_queue.entry(it.key());
            const QString cancelled = fetchFailureText(FetchFailure::Cancelled);
            printFailure(
                QCoreApplication::translate("Cli", "无法下载 %1").arg(entry ? entry->fileUrl : QString()),
                cancelled);
            if (entry && !entry->partPath.isEmpty() && QFileInfo::exists(entry->partPath))
                printProblem(QCoreApplication::translate("Cli", "已保留 %1，再次运行同一命令即可继续下载")
                                 .arg(QDir::toNativeSeparators(entry->partPath)));
            fail(it.value(), entry ? entry->name : QString(), cancelled, DownloadFailed);
        }
        m_status = DownloadFailed;
        finish();
    }

    void finish()
    {
        m_progress.keep();
        if (m_stopping && m_failures.isEmpty()) {
            m_done(DownloadFailed); // stopped before any download began
            return;
        }
        if (m_failures.isEmpty()) {
            m_done(Success);
            return;
        }
        if (!lone()) {
            printProblem(QCoreApplication::translate("Cli", "%1 个下载失败（共 %2 个）：")
                             .arg(m_failures.size())
                             .arg(m_total));
            for (const Failure &failure : std::as_const(m_failures)) {
                const QString name =
                    failure.name.isEmpty() ? QString() : QStringLiteral("（%1）").arg(failure.name);
                printError(QStringLiteral("  ") + failure.address + name + QStringLiteral(": ") +
                           failure.reason);
            }
        }
        m_done(lone() ? m_status : DownloadFailed);
    }

    const ServiceConfig m_config;
    ProgressLines m_progress; // before the history, whose busy notice uses it to the end
    DownloadHistory m_history;
    DownloadQueue m_queue;
    DownloadBatch m_batch;
    std::function<void(int)> m_done;
    QHash<qint64, QString> m_address;                 // queued downloads and their page addresses
    QHash<qint64, std::pair<qint64, qint64>> m_bytes; // bytes done and size, for the progress line
    QSet<qint64> m_ended;
    QList<Failure> m_failures;
    int m_total = 0;
    int m_through = 0; // saved, skipped or failed
    int m_status = Success;
    bool m_stopping = false;
    bool m_started = false; // a lone download has started
    double m_speed = 0;     // a lone download's latest, shown again at its end
    TerminationSignals m_guard;
};

} // namespace

int runBatchDownload(const ServiceConfig &config, const FetchOptions &fetchOptions,
                     const DownloadSettings &settings, const BatchOptions &options,
                     const QList<DownloadBatch::Item> &items)
{
    std::unique_ptr<BatchRun> run;
    return runCommandLoop([&](const std::function<void(int)> &done) {
        run = std::make_unique<BatchRun>(config, fetchOptions, settings, options, done);
        run->start(items);
    });
}

} // namespace Cli
