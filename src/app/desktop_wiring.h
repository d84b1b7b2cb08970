// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class DesktopNotifications;
class DownloadQueue;
class MainWindow;

// Tells the desktop of every download of the queue that ends done or failed
// while the main window is not in front, wherever it was started. The
// returned object belongs to the window.
DesktopNotifications *connectDownloadNotifications(MainWindow &main, DownloadQueue &queue);

// Lets the desktop's media keys and sound menus drive the main window's
// player, over the session bus, for as long as the window lives. Without a
// session bus the window runs as ever and nothing is printed.
void exportMediaControls(MainWindow &main);
