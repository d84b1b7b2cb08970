// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program_downloads.h"

#include "library/download_history.h"
#include "library/program_settings.h"
#include "queue/download_queue.h"
#include "shell/downloads_window.h"
#include "shell/main_window.h"

ProgramDownloads::ProgramDownloads(MainWindow &main, ProgramSettings &settings, const ServiceConfig &config,
                                   const FetchOptions &options, QObject *parent)
    : QObject(parent)
    , m_main(main)
    , m_settings(settings)
    , m_config(config)
    , m_options(options)
    , m_history(std::make_unique<DownloadHistory>())
{
    m_history->setNotice([this](const QString &text) { m_main.setStatusMessage(text); });
    // Writes never hold up the window; its end waits a while for those
    // another program holds up, and names on stderr what was not written.
    m_history->setExitPatience(std::chrono::seconds(10));
    // Opened when first used (a download, the downloads window), not at
    // start-up; its own words then say whether downloads are recorded.
    m_history->setOnOpen([this] {
        m_history->pauseOrphans();
        if (const QString problem = m_history->problem(); !problem.isEmpty())
            m_main.setStatusMessage(problem);
    });
    m_queue = new DownloadQueue(*m_history, settings.current().jobs, this);
    connect(&settings, &ProgramSettings::changed, m_queue,
            [this](const DownloadSettings &now) { m_queue->setMaxRunning(now.jobs); });
    m_queue->setStallTimeout(options.stallTimeout);
    main.setDownloadQueue(m_queue);
    connect(&main, &MainWindow::downloadsRequested, this, &ProgramDownloads::showWindow);
    // A stored setting that was refused is told after the update check,
    // whose own message would hide it; once, and without a box that would
    // hold up the start.
    if (const QString problem = settings.problems().join(QStringLiteral("; ")); !problem.isEmpty())
        connect(
            &main, &MainWindow::updateChecked, this, [this, problem] { m_main.setStatusMessage(problem); },
            Qt::SingleShotConnection);
}

ProgramDownloads::~ProgramDownloads()
{
    // The queue pauses what runs, writing to the history, so it goes first;
    // the window and the main window let go of it before.
    m_history->setNotice({}); // nobody left to tell
    delete m_window;
    m_main.setDownloadQueue(nullptr);
    delete m_queue;
}

void ProgramDownloads::showWindow()
{
    if (!m_window)
        m_window = new DownloadsWindow(*m_queue);
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
