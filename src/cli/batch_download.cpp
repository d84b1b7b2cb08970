// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/batch_download.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "cli/download_command.h"
#include "cli/progress_lines.h"
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

namespace Cli {

QString batchProgressLine(int through, int total, qint64 bytes, qint64 knownTotal, double bytesPerSecond,
                          bool ended)
{
    QString line = QStringLiteral("%1/%2  %3").arg(through).arg(total).arg(byteSizeText(double(bytes)));
    if (knownTotal > 0)
        line += QStringLiteral(" / ") + byteSizeText(double(knownTotal));
    return line + QStringLiteral("  ") + speedText(bytesPerSecond, ended);
}

namespace {

class BatchRun : public QObject
{
public:
    BatchRun(const ServiceConfig &config, const FetchOptions &fetchOptions, const DownloadSettings &settings,
             const BatchOptions &options, std::function<void(int)> done)
        : m_config(config)
        , m_queue(m_history, options.jobs)
        , m_batch(m_queue, config, settings, fetchOptions)
        , m_done(std::move(done))
        , m_guard([this](int signalNumber) { stop(signalNumber); })
    {
        // Said once; the downloads go on with or without a history on disk.
        if (!m_history.problem().isEmpty())
            printProblem(m_history.problem());
        m_history.setNotice([this](const QString &text) {
            m_progress.keep();
            printProblem(text);
        });
        // Entries a killed run left behind become paused, so the window can continue them.
        m_history.pauseOrphans();
        m_history.setExactClaims(true);
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
            printNote(QCoreApplication::translate("Cli", "连接中断，正在重试（第 %1 次，共 %2 次）")
                          .arg(attempt)
                          .arg(attempts));
        });
    }

    void start(const QList<DownloadBatch::Item> &items)
    {
        m_total = int(items.size());
        QList<DownloadBatch::Item> accepted;
        for (const DownloadBatch::Item &item : items) {
            if (checkSoundAddress(item.address, m_config.webHost) == AddressCheck::Accepted) {
                accepted.append(item);
                continue;
            }
            const QString reason = addressRefusal(item.address, m_config.webHost);
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
            printNote(QCoreApplication::translate("Cli", "“%1” 正由另一个下载保存到 %2，跳过")
                          .arg(done.name.isEmpty() ? done.soundId : done.name,
                               QDir::toNativeSeparators(done.folder)));
            ++m_through;
            return;
        }
        const QString path = QDir::toNativeSeparators(done.savedPath);
        printNote(QCoreApplication::translate("Cli", "已下载过 “%1”，跳过；文件在 %2（重新下载请加 --force）")
                      .arg(done.name.isEmpty() ? done.soundId : done.name, path));
        // Scripts read where each sound is, whether saved now or before.
        writeTo(stdout, path + u'\n');
        ++m_through;
    }

    void onChanged(qint64 id)
    {
        // Every download of this queue is ours; the first changes come
        // before queued() has told the id.
        if (m_stopping)
            return;
        const std::optional<DownloadEntry> entry = m_queue.entry(id);
        if (!entry || entry->state != DownloadState::Running)
            return;
        if (!m_startBytes.contains(id)) {
            // The queue tells a start before any byte came over the network,
            // so bytes then are those of an earlier part file.
            m_startBytes.insert(id, entry->bytesDone);
            if (!m_clock.isValid())
                m_clock.start();
            if (entry->bytesDone > 0) {
                m_progress.wipe();
                const QString from = byteSizeText(double(entry->bytesDone));
                printNote(lone()
                              ? QCoreApplication::translate("Cli", "从 %1 处继续先前未完成的下载").arg(from)
                              : QCoreApplication::translate("Cli", "“%1” 从 %2 处继续先前未完成的下载")
                                    .arg(entry->name.isEmpty() ? entry->soundId : entry->name, from));
            }
        }
        if (!lone() && !m_progress.isTerminal())
            return;
        m_bytes[id] = {entry->bytesDone, entry->size};
        if (lone()) {
            const double speed = m_queue.speed(id);
            if (m_progress.isTerminal())
                m_progress.draw(progressLine(entry->bytesDone, entry->size, speed));
            else
                m_progress.tenth(entry->bytesDone, entry->size, speed);
            return;
        }
        drawAll(false);
    }

    void drawAll(bool now)
    {
        qint64 bytes = 0;
        qint64 known = 0;
        qint64 fetched = 0; // by this run, not earlier ones
        double speed = 0;
        for (auto it = m_bytes.cbegin(); it != m_bytes.cend(); ++it) {
            bytes += it->first;
            known += std::max<qint64>(it->second, 0);
            fetched += it->first - m_startBytes.value(it.key(), it->first);
            speed += m_queue.speed(it.key());
        }
        const bool ended = m_through == m_total;
        m_progress.draw(
            batchProgressLine(m_through, m_total, bytes, known, ended ? averageSpeed(fetched) : speed, ended),
            now);
    }

    // Bytes per second since the first download started.
    double averageSpeed(qint64 fetched) const
    {
        const qint64 ms = m_clock.isValid() ? std::max<qint64>(m_clock.elapsed(), 1) : 1;
        return double(std::max<qint64>(fetched, 0)) * 1000.0 / double(ms);
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
            const qint64 bytes = result ? result->bytes : result.error().detail.bytes;
            const double average = averageSpeed(bytes - m_startBytes.value(id, 0));
            if (m_progress.isTerminal() && result)
                m_progress.draw(progressLine(bytes, size, average, 24, true), true);
            else if (!m_progress.isTerminal() && result)
                m_progress.tenth(size > 0 ? size : bytes, size, average, true);
            m_progress.keep();
        } else {
            m_progress.wipe();
        }
        if (result) {
            ++m_through;
            if (!result->untagged.isEmpty())
                printFailure(QCoreApplication::translate("Cli", "已保存，但未写入标签"), result->untagged);
            writeTo(stdout, QDir::toNativeSeparators(result->filePath) + u'\n');
        } else {
            const QString detail = downloadFailureDetail(result.error());
            printFailure(QCoreApplication::translate("Cli", "无法下载 %1").arg(entry.fileUrl), detail);
            if (const QString &part = result.error().detail.partPath; !part.isEmpty())
                printNote(QCoreApplication::translate("Cli", "已保留 %1，再次运行同一命令即可继续下载")
                              .arg(QDir::toNativeSeparators(part)));
            fail(m_address.value(id), entry.name, detail, DownloadFailed);
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
    // part file kept for the window or a later run; the exit status is the
    // shell's for a command a signal ended.
    void stop(int signalNumber)
    {
        if (m_stopping)
            return;
        m_stopping = true;
        m_stopStatus = 128 + signalNumber;
        m_progress.keep();
        for (auto it = m_address.cbegin(); it != m_address.cend(); ++it) {
            if (m_ended.contains(it.key()))
                continue;
            m_queue.pause(it.key());
            const std::optional<DownloadEntry> entry = m_queue.entry(it.key());
            const QString cancelled = fetchFailureText({FetchFailure::Cancelled});
            printFailure(
                QCoreApplication::translate("Cli", "无法下载 %1").arg(entry ? entry->fileUrl : QString()),
                cancelled);
            if (entry && !entry->partPath.isEmpty() && QFileInfo::exists(entry->partPath))
                printNote(QCoreApplication::translate("Cli", "已保留 %1，再次运行同一命令即可继续下载")
                              .arg(QDir::toNativeSeparators(entry->partPath)));
            fail(it.value(), entry ? entry->name : QString(), cancelled, DownloadFailed);
        }
        finish();
    }

    void finish()
    {
        m_progress.keep();
        if (m_stopping && m_failures.isEmpty()) {
            m_done(m_stopStatus); // stopped before any download began
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
        m_done(m_stopping ? m_stopStatus : lone() ? m_status : DownloadFailed);
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
    int m_stopStatus = Interrupted;
    QHash<qint64, qint64> m_startBytes; // bytes of earlier runs when each download started
    QElapsedTimer m_clock;              // since the first download started
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
