// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/player_module.h"

#include "build_config.h"
#include "player/player_backend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

PlayerBackend *playerBackend()
{
    static PlayerBackend *loaded = nullptr;
    if (!loaded) {
        const auto backend = loadPlayerBackend(playerModuleFolders());
        if (backend)
            loaded = *backend;
        else
            qWarning("vexa-helper: the player cannot play: %s", qPrintable(backend.error().detail));
    }
    return loaded;
}

QStringList playerModuleFolders()
{
    const QString bin = QCoreApplication::applicationDirPath();
    QStringList folders = {bin, QDir::cleanPath(bin + u'/' + QLatin1String(VEXA_PLAYER_FROM_BIN))};
    folders += QCoreApplication::libraryPaths();
    folders.removeDuplicates();
    return folders;
}

Expected<PlayerBackend *, Failure<ModuleProblem>> loadPlayerBackend(const QStringList &folders)
{
    QStringList problems;
    for (const QString &folder : folders) {
        const QString file = QDir(folder).filePath(QStringLiteral(VEXA_PLAYER_MODULE_FILE));
        if (!QFileInfo::exists(file))
            continue;
        QPluginLoader loader(file);
        // The module registers types with the media framework, which can
        // never be taken back, so its code must stay mapped.
        loader.setLoadHints(QLibrary::PreventUnloadHint);
        if (auto *backend = qobject_cast<PlayerBackend *>(loader.instance()))
            return backend;
        problems +=
            loader.isLoaded() ? file + QStringLiteral(": not the player's module") : loader.errorString();
    }
    if (problems.isEmpty())
        return unexpected(
            ModuleProblem::Missing,
            QStringLiteral("no %1 in %2").arg(QStringLiteral(VEXA_PLAYER_MODULE_FILE), folders.join(u':')));
    return unexpected(ModuleProblem::Unusable, problems.join(QStringLiteral("; ")));
}
