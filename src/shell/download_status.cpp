// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/download_status.h"

#include "download/download_file_name.h"
#include "library/download_history.h"
#include "queue/download_queue.h"
#include "shell/message_boxes.h"
#include "queue/sound_download_request.h"
#include "sound/sound_info.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

namespace {

QString downloadingText()
{
    return DownloadStatus::tr("正在下载音乐..");
}
// Kept for when the queue passes its downloads' retries on; until then the
// status line cannot tell them.
QString retryingText()
{
    return DownloadStatus::tr("连接中断，正在重试（第%1次，共%2次）..");
}
QString downloadedText()
{
    return DownloadStatus::tr("音乐下载完成: ");
}
QString downloadFailedText()
{
    return DownloadStatus::tr("音乐下载失败: ");
}
QString untaggedText()
{
    return DownloadStatus::tr("（未写入标签）");
}
QString againText()
{
    return DownloadStatus::tr("《%1》已下载过：\n%2\n要再次下载吗？");
}

} // namespace

QString downloadTarget(const DownloadSettings &settings, const SoundInfo &record)
{
    const DownloadRequest request = soundDownloadRequest(record, {}, settings);
    // Joined as the download joins them.
    return QDir(request.folder).filePath(downloadFileName(request.fileName, request.fileUrl));
}

DownloadStatus::DownloadStatus(QLabel *statusLine, std::chrono::milliseconds stallTimeout, QString pagePrefix,
                               QObject *parent)
    : QObject(parent)
    , m_statusLine(statusLine)
    , m_progress(new QProgressBar(statusLine))
    // Read once: a change made with `config` while the window runs shows at its next start.
    , m_settings(loadDownloadSettings())
    , m_pagePrefix(std::move(pagePrefix))
    , m_stallTimeout(stallTimeout)
{
    m_progress->setObjectName(QStringLiteral("downloadProgress"));
    m_progress->setTextVisible(true);
    m_progress->setFixedSize(150, 14);
    m_progress->move(statusLine->width() - 154, (20 - 14) / 2);
    m_progress->hide();
}

DownloadStatus::~DownloadStatus()
{
    if (m_ownHistory) {
        // Before the history it writes to.
        disconnect(m_queue, nullptr, this, nullptr);
        delete m_queue;
    }
}

void DownloadStatus::setQueue(DownloadQueue *queue)
{
    if (m_queue)
        disconnect(m_queue, nullptr, this, nullptr);
    m_ids.clear();
    m_queue = queue;
    if (!queue)
        return;
    queue->setMaxRunning(m_settings.jobs);
    connect(queue, &DownloadQueue::changed, this, [this](qint64 id) {
        if (m_ids.contains(id))
            showProgress();
    });
    connect(queue, &DownloadQueue::retrying, this, [this](qint64 id, int attempt, int attempts) {
        if (m_ids.contains(id))
            m_statusLine->setText(retryingText().arg(attempt).arg(attempts));
    });
    connect(queue, &DownloadQueue::ended, this, &DownloadStatus::onEnded);
    connect(queue, &DownloadQueue::removed, this, &DownloadStatus::forget);
    showProgress();
}

DownloadQueue &DownloadStatus::ensureQueue()
{
    if (!m_queue) {
        m_ownHistory = std::make_unique<DownloadHistory>();
        auto *queue = new DownloadQueue(*m_ownHistory, m_settings.jobs, this);
        queue->setStallTimeout(m_stallTimeout);
        setQueue(queue);
    }
    return *m_queue;
}

void DownloadStatus::setSettings(const DownloadSettings &settings)
{
    m_settings = settings;
    if (m_queue)
        m_queue->setMaxRunning(settings.jobs);
}

void DownloadStatus::start(const SoundInfo &record)
{
    const std::optional<DownloadEntry> done = ensureQueue().history().doneWithFile(record.soundId);
    if (!done) {
        enqueue(record);
        return;
    }
    askQuestion(m_statusLine->window(),
                againText().arg(record.soundName, QDir::toNativeSeparators(done->savedPath)), false,
                [self = QPointer(this), record](Answer answer) {
                    if (self && answer == Answer::Yes)
                        self->enqueue(record);
                });
}

void DownloadStatus::enqueue(const SoundInfo &record)
{
    DownloadQueue &queue = ensureQueue();
    m_ids.append(queue.enqueue(soundDownloadEntry(record, m_pagePrefix + record.soundId, m_settings)));
    m_statusLine->setText(downloadingText());
    showProgress();
}

void DownloadStatus::onEnded(qint64 id, const DownloadResult &result)
{
    if (!m_ids.contains(id))
        return;
    const std::optional<DownloadEntry> entry = m_queue->entry(id);
    const DownloadState state = entry ? entry->state : DownloadState::Cancelled;
    if (state != DownloadState::Done && state != DownloadState::Failed) {
        // Paused ones stay counted: continued later, they show here again.
        if (state != DownloadState::Paused)
            forget(id);
        showProgress();
        return;
    }
    m_ids.removeOne(id);
    if (!result.ok())
        m_statusLine->setText(downloadFailedText() + downloadFailureText(result));
    else if (!result.untagged.isEmpty())
        m_statusLine->setText(downloadedText() + result.fileName() + untaggedText());
    else
        m_statusLine->setText(downloadedText() + result.fileName());
    showProgress();
    DownloadOutcome outcome;
    outcome.ok = result.ok();
    if (outcome.ok) {
        outcome.filePath = result.filePath;
        outcome.folder = QFileInfo(result.filePath).absolutePath();
        outcome.fileName = result.fileName();
    } else {
        // The name before a taken one gets its " (n)": what a failure is told by.
        const QFileInfo target(
            QDir(entry->folder).filePath(downloadFileName(entry->fileName, entry->fileUrl)));
        outcome.folder = target.absolutePath();
        outcome.fileName = target.fileName();
        outcome.reason = downloadFailureText(result);
    }
    emit ended(outcome);
}

void DownloadStatus::forget(qint64 id)
{
    if (m_ids.removeOne(id))
        showProgress();
}

void DownloadStatus::showProgress()
{
    qint64 received = 0;
    qint64 total = 0;
    bool known = true;
    bool active = false;
    for (const qint64 id : std::as_const(m_ids)) {
        const std::optional<DownloadEntry> entry = m_queue ? m_queue->entry(id) : std::nullopt;
        if (!entry || (entry->state != DownloadState::Running && entry->state != DownloadState::Queued))
            continue;
        active = true;
        received += entry->bytesDone;
        total += entry->size;
        known = known && entry->size > 0;
    }
    if (!active) {
        m_progress->hide();
        return;
    }
    // Kilobytes keep large files inside the bar's int range.
    if (known) {
        m_progress->setRange(0, int(total / 1024));
        m_progress->setValue(int(received / 1024));
    } else {
        m_progress->setRange(0, 0); // busy: no length announced
    }
    m_progress->show();
}
