// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class DesktopNotifications;
class MainWindow;

// Tells the desktop of the window's downloads that end while it is not in
// front. The returned object belongs to the window.
DesktopNotifications *connectDownloadNotifications(MainWindow &main);

// Lets the desktop's media keys and sound menus drive the main window's
// player, over the session bus, for as long as the window lives. Without a
// session bus the window runs as ever and nothing is printed.
void exportMediaControls(MainWindow &main);
