// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Whether a session bus is there to connect to, found without starting one:
// with no address at all libdbus would run dbus-launch, a child process, on
// the window's start. Told once, quietly, when there is none.
bool sessionBusIsThere();
