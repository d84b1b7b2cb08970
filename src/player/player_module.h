// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

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

// The first loadable module in folders, or null with the reasons in *error.
PlayerBackend *loadPlayerBackend(const QStringList &folders, QString *error = nullptr);
