// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_history.h"
#include "queue/download_queue.h"
#include "shell/main_window.h"

#include <QObject>

#include <chrono>

// The history and queue a main window made on its own downloads through,
// as ProgramDownloads gives the program's window one. A child of the
// window, so both end with it; the queue goes first, pausing what runs.
class WindowDownloads : public QObject
{
public:
    // stallTimeout: as the window's fetch options say, for the program's queue.
    explicit WindowDownloads(MainWindow &window,
                             std::chrono::milliseconds stallTimeout = std::chrono::seconds(10))
        : QObject(&window)
        , m_queue(m_history, 3)
    {
        setObjectName(QStringLiteral("windowDownloads"));
        m_queue.setStallTimeout(stallTimeout);
        window.setDownloadQueue(&m_queue);
    }

    DownloadHistory &history() { return m_history; }
    DownloadQueue &queue() { return m_queue; }

    // The queue of a window that was given one here.
    static DownloadQueue &of(MainWindow &window)
    {
        // No meta-object of its own to cast with: found by its name.
        return static_cast<WindowDownloads *>(window.findChild<QObject *>(QStringLiteral("windowDownloads")))
            ->m_queue;
    }

private:
    DownloadHistory m_history;
    DownloadQueue m_queue;
};
