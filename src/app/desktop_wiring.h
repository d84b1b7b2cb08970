// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class DesktopNotifications;
class MainWindow;

// Tells the desktop of the window's downloads that end while it is not in
// front. The returned object belongs to the window.
DesktopNotifications *connectDownloadNotifications(MainWindow &main);
