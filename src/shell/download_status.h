// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_settings.h"
#include "queue/download_queue.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QLabel;
class QProgressBar;
struct SoundInfo;

// The downloads the main window starts, through the program's download
// queue: each saves its sound to the download folder; their joint progress
// shows in a bar at the right end of the status line, and each start and
// outcome in its text, wherever the download was paused, continued or
// retried. A sound already downloaded, with its file still there, is asked
// about first.
class DownloadStatus : public QObject
{
    Q_OBJECT

public:
    // statusLine is the status bar's message panel; the bar goes inside it.
    // pagePrefix + a sound's id is its page address, written into the tags.
    DownloadStatus(QLabel *statusLine, QString pagePrefix, QObject *parent = nullptr);

    // The queue downloads go through; it must outlive this object or be
    // unset first. Without one the download button does nothing.
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
    // cover: the picture's bytes when the caller has them, for the tags.
    void start(const SoundInfo &record, const QByteArray &cover = {});

private:
    void enqueue(const SoundInfo &record, const QByteArray &cover);
    void onEnded(const DownloadEntry &entry, const DownloadResult &result);
    void showProgress();

    QLabel *m_statusLine;
    QProgressBar *m_progress;
    DownloadSettings m_settings; // the template checked when they were loaded
    const QString m_pagePrefix;
    QPointer<DownloadQueue> m_queue;
    // The rows started here, which this status line speaks of until they
    // are removed; what they are at, the queue says.
    QSet<qint64> m_started;
};

// Where a download of the record goes under these settings, before a taken
// name gets its " (n)": folder, subfolders, file name.
QString downloadTarget(const DownloadSettings &settings, const SoundInfo &record);
