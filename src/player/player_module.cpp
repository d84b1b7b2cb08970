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
        QString error;
        loaded = loadPlayerBackend(playerModuleFolders(), &error);
        if (!loaded)
            qWarning("vexa-helper: the player cannot play: %s", qPrintable(error));
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

PlayerBackend *loadPlayerBackend(const QStringList &folders, QString *error)
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
    if (error)
        *error = problems.isEmpty() ? QStringLiteral("no %1 in %2")
                                          .arg(QStringLiteral(VEXA_PLAYER_MODULE_FILE), folders.join(u':'))
                                    : problems.join(QStringLiteral("; "));
    return nullptr;
}
