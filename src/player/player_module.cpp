// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/player_module.h"

#include "player/player_backend.h"

PlayerBackend *playerBackend()
{
    static PlayerBackend *loaded = nullptr;
    if (!loaded) {
        const auto backend = loadPlayerBackend(moduleFolders());
        if (backend)
            loaded = *backend;
        else
            qWarning("vexa-helper: the player cannot play: %s", qPrintable(backend.error().detail));
    }
    return loaded;
}

Expected<PlayerBackend *, ModuleFailure> loadPlayerBackend(const QStringList &folders)
{
    return loadPluginModule<PlayerBackend>(folders, QStringLiteral(VEXA_PLAYER_MODULE_FILE));
}
