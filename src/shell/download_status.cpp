// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/download_status.h"

#include "download/cover_picture.h"

#include "download/download_file_name.h"
#include "library/download_history.h"
#include "queue/download_queue.h"
#include "queue/sound_download_request.h"
#include "shell/message_boxes.h"
#include "sound/sound_info.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>

namespace {

QString downloadingText()
{
    return DownloadStatus::tr("正在下载音乐..");
}
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
QString pausedText()
{
    return DownloadStatus::tr("音乐下载已暂停");
}
QString cancelledText()
{
    return DownloadStatus::tr("音乐下载已取消");
}
QString untaggedText()
{
    return DownloadStatus::tr("（未写入标签）");
}
QString againText()
{
    return DownloadStatus::tr("《%1》已下载过：\n%2\n要再次下载吗？");
}

QString shownSavedPath(const QString &folder, const SavedSound &result)
{
    const QString below = folder.isEmpty() ? QString() : QDir(folder).relativeFilePath(result.filePath);
    if (below.isEmpty() || below == QLatin1String("..") || below.startsWith(QLatin1String("../")) ||
        QDir::isAbsolutePath(below))
        return result.fileName();
    return QDir::toNativeSeparators(below);
}

} // namespace

QString downloadTarget(const DownloadSettings &settings, const SoundInfo &record)
{
    const DownloadRequest request = soundDownloadRequest(record, {}, settings);
    // Joined as the download joins them.
    return QDir(request.folder).filePath(downloadFileName(request.fileName, request.fileUrl));
}

DownloadStatus::DownloadStatus(QLabel *statusLine, QString pagePrefix, QObject *parent)
    : QObject(parent)
    , m_statusLine(statusLine)
    , m_progress(new QProgressBar(statusLine))
    // Read once: a change made with `config` while the window runs shows at its next start.
    , m_settings(loadDownloadSettings())
    , m_pagePrefix(std::move(pagePrefix))
{
    m_progress->setObjectName(QStringLiteral("downloadProgress"));
    m_progress->setTextVisible(true);
    m_progress->setFixedSize(150, 14);
    m_progress->move(statusLine->width() - 154, (20 - 14) / 2);
    m_progress->hide();
}

void DownloadStatus::setQueue(DownloadQueue *queue)
{
    if (m_queue)
        disconnect(m_queue, nullptr, this, nullptr);
    m_started.clear();
    m_queue = queue;
    if (!queue) {
        showProgress();
        return;
    }
    queue->setMaxRunning(m_settings.jobs);
    connect(queue, &DownloadQueue::changed, this, [this](qint64 id) {
        if (!m_started.contains(id))
            return;
        // Continued or retried, in the downloads window say: it starts again.
        if (const std::optional<DownloadEntry> entry = m_queue->entry(id);
            entry && entry->state == DownloadState::Queued)
            m_statusLine->setText(downloadingText());
        showProgress();
    });
    connect(queue, &DownloadQueue::retrying, this, [this](qint64 id, int attempt, int attempts) {
        if (m_started.contains(id))
            m_statusLine->setText(retryingText().arg(attempt).arg(attempts));
    });
    connect(queue, &DownloadQueue::ended, this, &DownloadStatus::onEnded);
    connect(queue, &DownloadQueue::removed, this, [this](qint64 id) {
        if (m_started.remove(id))
            showProgress();
    });
    showProgress();
}

void DownloadStatus::setSettings(const DownloadSettings &settings)
{
    m_settings = settings;
    if (m_queue)
        m_queue->setMaxRunning(settings.jobs);
}

void DownloadStatus::start(const SoundInfo &record, const QByteArray &cover)
{
    if (!m_queue)
        return;
    const std::optional<DownloadEntry> done = m_queue->history().doneWithFile(record.soundId);
    if (!done) {
        enqueue(record, cover);
        return;
    }
    askQuestion(m_statusLine->window(),
                againText().arg(record.soundName, QDir::toNativeSeparators(done->savedPath)), false,
                [self = QPointer(this), record, cover](Answer answer) {
                    if (self && answer == Answer::Yes)
                        self->enqueue(record, cover);
                });
}

void DownloadStatus::enqueue(const SoundInfo &record, const QByteArray &cover)
{
    if (!m_queue)
        return;
    DownloadEntry entry = soundDownloadEntry(record, m_pagePrefix + record.soundId, m_settings);
    if (entry.tags && !cover.isEmpty())
        entry.tags->cover = coverPictureOf(cover).bytes;
    const auto queued = m_queue->enqueue(entry);
    if (!queued) {
        // A history it cannot write (a newer program's) cannot run it.
        m_statusLine->setText(tr("无法记入下载历史，未能下载"));
        return;
    }
    m_started.insert(*queued);
    m_statusLine->setText(downloadingText());
    showProgress();
}

void DownloadStatus::onEnded(const DownloadEntry &entry, const DownloadResult &result)
{
    if (!m_started.contains(entry.id))
        return;
    switch (entry.state) {
    case DownloadState::Done: {
        const SavedSound saved = result.value_or(SavedSound{entry.savedPath, entry.size, 0, {}});
        // Below the download folder, so a subfolder the naming template made is told too.
        m_statusLine->setText(downloadedText() + shownSavedPath(entry.folder, saved) +
                              (saved.untagged.isEmpty() ? QString() : untaggedText()));
        break;
    }
    case DownloadState::Failed:
        m_statusLine->setText(downloadFailedText() +
                              (result ? QString() : downloadFailureText(result.error())));
        break;
    case DownloadState::Paused:
        m_statusLine->setText(pausedText());
        break;
    case DownloadState::Cancelled:
        m_statusLine->setText(cancelledText());
        break;
    case DownloadState::Queued:
    case DownloadState::Running:
        break;
    }
    showProgress();
}

void DownloadStatus::showProgress()
{
    qint64 received = 0;
    qint64 total = 0;
    bool known = true;
    bool active = false;
    const QList<DownloadEntry> entries = m_queue ? m_queue->active() : QList<DownloadEntry>();
    for (const DownloadEntry &entry : entries) {
        if (!m_started.contains(entry.id))
            continue;
        active = true;
        received += entry.bytesDone;
        total += entry.size;
        known = known && entry.size > 0;
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
