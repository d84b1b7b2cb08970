// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"

#include <QStringList>

class PlayerBackend;

// The player's back end, loaded on the first call and kept to the end of
// the process. Null when no module can be loaded (why goes to the log); the
// next call looks again.
PlayerBackend *playerBackend();

// Where the module is looked for: beside the executable (the build tree),
// then the installed module folder relative to it, so that a moved prefix
// still works, then Qt's library paths (QT_PLUGIN_PATH).
QStringList playerModuleFolders();

enum class ModuleProblem {
    Missing,  // in none of the folders
    Unusable, // there, but it would not load or is not the player's
};

// The first loadable module in folders; the detail of a failure names what
// was tried.
Expected<PlayerBackend *, Failure<ModuleProblem>> loadPlayerBackend(const QStringList &folders);
