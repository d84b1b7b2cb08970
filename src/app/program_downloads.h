// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"
#include "net/service_config.h"
#include "shell/downloads_window.h"

#include <QObject>
#include <QPointer>

#include <memory>

class DownloadHistory;
class DownloadQueue;
class MainWindow;
class ProgramSettings;

// The window side's downloads: one history and one queue for the whole
// program, the downloads window made on first use. Entries an earlier run
// left running are paused when it is made; a history that cannot be kept
// on disk is told once, and downloads go on without it.
class ProgramDownloads : public QObject
{
    Q_OBJECT

public:
    // main: where the downloads window and questions belong; its download
    // button and the title link go through this object, which must not
    // outlive it. settings: the program's, which must outlive this object;
    // the queue runs as many at once as they say.
    ProgramDownloads(MainWindow &main, ProgramSettings &settings, const ServiceConfig &config,
                     const FetchOptions &options, QObject *parent = nullptr);
    ~ProgramDownloads() override;

    DownloadHistory &history() { return *m_history; }
    DownloadQueue &queue() { return *m_queue; }
    const ServiceConfig &config() const { return m_config; }
    const FetchOptions &fetchOptions() const { return m_options; }
    MainWindow &mainWindow() { return m_main; }
    ProgramSettings &settings() { return m_settings; }

    // Shows the downloads window (made on first use) and brings it forward.
    void showWindow();
    DownloadsWindow *window() const { return m_window; }

private:
    MainWindow &m_main;
    ProgramSettings &m_settings;
    const ServiceConfig m_config;
    const FetchOptions m_options;
    std::unique_ptr<DownloadHistory> m_history;
    DownloadQueue *m_queue = nullptr; // child of this object
    QPointer<DownloadsWindow> m_window;
};
