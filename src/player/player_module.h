// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/program_module.h"

#include <QStringList>

class PlayerBackend;

// The player's back end, loaded on the first call and kept to the end of
// the process. Null when no module can be loaded (why goes to the log); the
// next call looks again.
PlayerBackend *playerBackend();

// The first loadable module in folders; the detail of a failure names what
// was tried.
Expected<PlayerBackend *, ModuleFailure> loadPlayerBackend(const QStringList &folders);
