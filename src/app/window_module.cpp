// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The windows as a module that main() loads only when no command is given,
// so that a command never loads Qt Widgets, Qt Gui, D-Bus and the rest the
// windows bring.
#include "app/gui_main.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int vexaRunWindows(int argc, char **argv)
{
    return runGui(argc, argv);
}
