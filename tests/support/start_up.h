// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shell/main_window.h"

#include <QSignalSpy>

// Starts the window up and waits until its update check has ended (message
// boxes answered included). False when it did not end in time.
inline bool startUpAndWait(MainWindow &window, int timeoutMs = 30000)
{
    QSignalSpy checked(&window, &MainWindow::updateChecked);
    window.startUp();
    return !checked.isEmpty() || checked.wait(timeoutMs);
}
