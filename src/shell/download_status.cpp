// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/download_status.h"

#include "services/download_file_name.h"
#include "services/sound_download.h"
#include "sound/sound_download_request.h"
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

void DownloadStatus::start(const SoundInfo &record)
{
    DownloadRequest request = soundDownloadRequest(record, m_pagePrefix + record.soundId, m_settings);
    request.stallTimeout = m_stallTimeout;
    auto *download = new SoundDownload(request, this);
    connect(download, &SoundDownload::progress, this, &DownloadStatus::showProgress);
    connect(download, &SoundDownload::retrying, this, [this](int attempt, int attempts) {
        m_statusLine->setText(retryingText().arg(attempt).arg(attempts));
    });
    // The name before a taken one gets its " (n)": what a failure is told by.
    const QFileInfo target(
        QDir(request.folder).filePath(downloadFileName(request.fileName, request.fileUrl)));
    DownloadOutcome wanted;
    wanted.folder = target.absolutePath();
    wanted.fileName = target.fileName();
    connect(download, &SoundDownload::finished, this,
            [this, download, wanted] { onFinished(download, wanted); });
    m_running.append(download);
    m_statusLine->setText(downloadingText());
    download->start();
    showProgress();
}

void DownloadStatus::onFinished(SoundDownload *download, DownloadOutcome outcome)
{
    m_running.removeOne(download);
    const DownloadResult result = download->result();
    download->deleteLater();
    if (!result.ok())
        m_statusLine->setText(downloadFailedText() + downloadFailureText(result));
    else if (!result.untagged.isEmpty())
        m_statusLine->setText(downloadedText() + result.fileName() + untaggedText());
    else
        m_statusLine->setText(downloadedText() + result.fileName());
    showProgress();
    outcome.ok = result.ok();
    if (outcome.ok) {
        outcome.filePath = result.filePath;
        outcome.folder = QFileInfo(result.filePath).absolutePath();
        outcome.fileName = result.fileName();
    } else {
        outcome.reason = downloadFailureText(result);
    }
    emit ended(outcome);
}

void DownloadStatus::showProgress()
{
    if (m_running.isEmpty()) {
        m_progress->hide();
        return;
    }
    qint64 received = 0;
    qint64 total = 0;
    bool known = true;
    for (const SoundDownload *download : std::as_const(m_running)) {
        received += download->received();
        total += download->total();
        known = known && download->total() > 0;
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
