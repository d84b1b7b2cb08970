// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "queue/download_queue.h"
#include "library/download_settings.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <memory>

class DownloadHistory;
class QLabel;
class QProgressBar;
struct DownloadResult;
struct SoundInfo;

// How one download ended, for whoever tells the user besides the status line.
struct DownloadOutcome
{
    bool ok = false;
    QString filePath; // the saved file when ok
    QString folder;   // where it was to go
    QString fileName; // the saved name when ok, else the wanted one
    QString reason;   // why it failed, as the status line says it; empty when ok
};

// The downloads the main window starts, through the program's download
// queue: each saves its sound to the download folder; their joint progress
// shows in a bar at the right end of the status line, and each start and
// outcome in its text. A sound already downloaded, with its file still
// there, is asked about first.
class DownloadStatus : public QObject
{
    Q_OBJECT

public:
    // statusLine is the status bar's message panel; the bar goes inside it.
    // pagePrefix + a sound's id is its page address, written into the tags.
    DownloadStatus(QLabel *statusLine, std::chrono::milliseconds stallTimeout, QString pagePrefix,
                   QObject *parent = nullptr);
    // A queue of its own goes with this object, stopping what it runs, which
    // keeps its part files when they can be continued.
    ~DownloadStatus() override;

    // The queue downloads go through; it must outlive this object or be
    // unset first. Without one, a queue of its own over the default history
    // is made at the first download (a window made on its own, as in tests).
    void setQueue(DownloadQueue *queue);
    DownloadQueue *queue() const { return m_queue; }

    // The stored settings unless set; later downloads follow them, and the
    // queue runs as many at once as they say.
    void setSettings(const DownloadSettings &settings);
    const DownloadSettings &settings() const { return m_settings; }
    void setFolder(const QString &folder) { m_settings.folder = folder; }
    QString folder() const { return m_settings.folder; }

    // Queues the download of the record's file, whose address must be a web
    // address; when the history has it done with its file still there, only
    // if the user says so.
    void start(const SoundInfo &record);

signals:
    // A download started here ended done or failed (not paused or cancelled).
    void ended(const DownloadOutcome &outcome);

private:
    DownloadQueue &ensureQueue();
    void enqueue(const SoundInfo &record);
    void onEnded(qint64 id, const DownloadResult &result);
    void forget(qint64 id);
    void showProgress();

    QLabel *m_statusLine;
    QProgressBar *m_progress;
    DownloadSettings m_settings; // the template checked when they were loaded
    const QString m_pagePrefix;
    std::chrono::milliseconds m_stallTimeout;
    QPointer<DownloadQueue> m_queue;
    std::unique_ptr<DownloadHistory> m_ownHistory; // only with a queue of its own
    QList<qint64> m_ids;                           // started here, not yet done, failed, cancelled or removed
};

// Where a download of the record goes under these settings, before a taken
// name gets its " (n)": folder, subfolders, file name.
QString downloadTarget(const DownloadSettings &settings, const SoundInfo &record);
