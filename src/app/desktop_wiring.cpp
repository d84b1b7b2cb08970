// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/desktop_wiring.h"

#include "desktop/desktop_notifications.h"
#include "desktop/mpris_service.h"
#include "desktop/session_bus.h"
#include "queue/download_queue.h"
#include "shell/main_window.h"

DesktopNotifications *connectDownloadNotifications(MainWindow &main, DownloadQueue &queue)
{
    auto *notifications = new DesktopNotifications(&main);
    QObject::connect(&queue, &DownloadQueue::ended, notifications, &DesktopNotifications::downloadEnded);
    return notifications;
}

void exportMediaControls(MainWindow &main)
{
    if (!sessionBusIsThere())
        return;
    auto *service = new MprisService(&main);
    if (!service->registerOn(QDBusConnection::sessionBus()))
        delete service;
}
