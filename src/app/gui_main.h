// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Runs the windows: creates the QApplication, the main window and its
// start-up, then the event loop. Returns the process's exit status.
int runGui(int argc, char **argv);
