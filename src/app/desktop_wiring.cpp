// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/desktop_wiring.h"

#include "desktop/desktop_notifications.h"
#include "desktop/mpris_service.h"
#include "shell/download_status.h"
#include "shell/main_window.h"

DesktopNotifications *connectDownloadNotifications(MainWindow &main)
{
    auto *notifications = new DesktopNotifications(&main);
    QObject::connect(&main, &MainWindow::downloadFinished, notifications,
                     &DesktopNotifications::downloadEnded);
    return notifications;
}

void exportMediaControls(MainWindow &main)
{
    auto *service = new MprisService(&main);
    if (!service->registerOn(QDBusConnection::sessionBus()))
        delete service;
}
