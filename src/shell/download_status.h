// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>

class QLabel;
class QProgressBar;
class SoundDownload;
struct SoundInfo;

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
    DownloadStatus(QLabel *statusLine, std::chrono::milliseconds stallTimeout, QObject *parent = nullptr);

    // The folder setting unless set; the home folder if that is empty.
    void setFolder(const QString &folder) { m_folder = folder; }
    QString folder() const { return m_folder; }

    // Downloads the record's file, whose address must be a web address.
    void start(const SoundInfo &record);

signals:
    void ended(bool ok);

private:
    void onFinished(SoundDownload *download);
    void showProgress();

    QLabel *m_statusLine;
    QProgressBar *m_progress;
    QString m_folder;
    QString m_nameTemplate; // checked when the settings were loaded
    std::chrono::milliseconds m_stallTimeout;
    QList<SoundDownload *> m_running; // children of this object
};
