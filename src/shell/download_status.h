// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "services/download_settings.h"

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>

class QLabel;
class QProgressBar;
class SoundDownload;
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

// The downloads the main window runs, several at once: each saves its sound
// to the download folder; their joint progress shows in a bar at the right
// end of the status line, and each start, retry and outcome in its text.
class DownloadStatus : public QObject
{
    Q_OBJECT

public:
    // statusLine is the status bar's message panel; the bar goes inside it.
    // Deleting this object aborts the running downloads, which remove their
    // part files unless they can be continued.
    // pagePrefix + a sound's id is its page address, written into the tags.
    DownloadStatus(QLabel *statusLine, std::chrono::milliseconds stallTimeout, QString pagePrefix,
                   QObject *parent = nullptr);

    // The stored settings unless set; later downloads follow them.
    void setSettings(const DownloadSettings &settings) { m_settings = settings; }
    const DownloadSettings &settings() const { return m_settings; }
    void setFolder(const QString &folder) { m_settings.folder = folder; }
    QString folder() const { return m_settings.folder; }

    // Downloads the record's file, whose address must be a web address.
    void start(const SoundInfo &record);

signals:
    void ended(const DownloadOutcome &outcome);

private:
    void onFinished(SoundDownload *download, DownloadOutcome outcome);
    void showProgress();

    QLabel *m_statusLine;
    QProgressBar *m_progress;
    DownloadSettings m_settings; // the template checked when they were loaded
    const QString m_pagePrefix;
    std::chrono::milliseconds m_stallTimeout;
    QList<SoundDownload *> m_running; // children of this object
};

// Where a download of the record goes under these settings, before a taken
// name gets its " (n)": folder, subfolders, file name.
QString downloadTarget(const DownloadSettings &settings, const SoundInfo &record);
