// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The program's own modules: parts loaded only by what needs them (the
// window, the player, picture conversion), so that the others never load
// the libraries those parts bring.

#include "util/expected.h"

#include <QStringList>
#include <QtGlobal>

#include <functional>

class QObject;

enum class ModuleProblem {
    Missing,  // in none of the folders
    Unusable, // there, but it would not load or is not the module asked for
};
using ModuleFailure = Failure<ModuleProblem>;

// Where modules are looked for: beside the executable (the build tree),
// then the installed module folder relative to it, so that a moved prefix
// still works.
QStringList moduleFolders(const QString &executableFolder);
// The same for the running program, then Qt's library paths
// (QT_PLUGIN_PATH); needs the application object.
QStringList moduleFolders();

// The root object of the first Qt plugin named fileName in folders that
// fits; the detail of a failure names what was tried. The module stays
// loaded to the end of the process.
Expected<QObject *, ModuleFailure> loadPluginModule(const QStringList &folders, const QString &fileName,
                                                    const std::function<bool(QObject *)> &fits);

template<typename Interface>
Expected<Interface *, ModuleFailure> loadPluginModule(const QStringList &folders, const QString &fileName)
{
    auto root = loadPluginModule(folders, fileName, [](QObject *o) { return qobject_cast<Interface *>(o); });
    if (!root)
        return Unexpected(std::move(root).error());
    return qobject_cast<Interface *>(*root);
}

// The module's interface, loaded on the first call and kept for the
// process; nullptr when it cannot be loaded, after one warning that says
// what goes without it (withoutIt) and why.
template<typename Interface> Interface *moduleLoadedOnce(const QString &fileName, const char *withoutIt)
{
    static Interface *const loaded = [&]() -> Interface * {
        const auto module = loadPluginModule<Interface>(moduleFolders(), fileName);
        if (module)
            return *module;
        qWarning("vexa-helper: %s: %s", withoutIt, qPrintable(module.error().detail));
        return nullptr;
    }();
    return loaded;
}

// A plain library's function named symbol from the first file named
// fileName in folders that has it.
Expected<void *, ModuleFailure> loadModuleFunction(const QStringList &folders, const QString &fileName,
                                                   const char *symbol);
