// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/desktop_wiring.h"

#include "desktop/mpris_service.h"
#include "shell/main_window.h"

void exportMediaControls(MainWindow &main)
{
    auto *service = new MprisService(&main);
    if (!service->registerOn(QDBusConnection::sessionBus()))
        delete service;
}
