// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/program_module.h"

#include "build_config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPluginLoader>

namespace {

// Tries fileName in each folder with tryFile, which gives a problem or
// nothing when the file served.
template<typename Try>
std::optional<ModuleFailure> tryFolders(const QStringList &folders, const QString &fileName, Try tryFile)
{
    QStringList problems;
    for (const QString &folder : folders) {
        const QString file = QDir(folder).filePath(fileName);
        if (!QFileInfo::exists(file))
            continue;
        const std::optional<QString> problem = tryFile(file);
        if (!problem)
            return std::nullopt;
        problems += *problem;
    }
    if (problems.isEmpty())
        return ModuleFailure{ModuleProblem::Missing,
                             QStringLiteral("no %1 in %2").arg(fileName, folders.join(u':'))};
    return ModuleFailure{ModuleProblem::Unusable, problems.join(QStringLiteral("; "))};
}

} // namespace

QStringList moduleFolders(const QString &executableFolder)
{
    return {executableFolder,
            QDir::cleanPath(executableFolder + u'/' + QLatin1String(VEXA_MODULES_FROM_BIN))};
}

QStringList moduleFolders()
{
    QStringList folders = moduleFolders(QCoreApplication::applicationDirPath());
    folders += QCoreApplication::libraryPaths();
    folders.removeDuplicates();
    return folders;
}

Expected<QObject *, ModuleFailure> loadPluginModule(const QStringList &folders, const QString &fileName,
                                                    const std::function<bool(QObject *)> &fits)
{
    QObject *root = nullptr;
    const auto failure = tryFolders(folders, fileName, [&](const QString &file) -> std::optional<QString> {
        QPluginLoader loader(file);
        // A module may register types that can never be taken back, so
        // its code must stay mapped.
        loader.setLoadHints(QLibrary::PreventUnloadHint);
        QObject *instance = loader.instance();
        // A module first used on a worker thread would have its root object
        // live there, holding the worker's thread data past the worker's end
        // (a leak at exit); it belongs to the program's main thread.
        if (instance && QCoreApplication::instance() &&
            instance->thread() != QCoreApplication::instance()->thread())
            instance->moveToThread(QCoreApplication::instance()->thread());
        if (instance && fits(instance)) {
            root = instance;
            return std::nullopt;
        }
        return instance ? file + QStringLiteral(": not the module asked for") : loader.errorString();
    });
    if (failure)
        return Unexpected(*failure);
    return root;
}

Expected<void *, ModuleFailure> loadModuleFunction(const QStringList &folders, const QString &fileName,
                                                   const char *symbol)
{
    void *function = nullptr;
    const auto failure = tryFolders(folders, fileName, [&](const QString &file) -> std::optional<QString> {
        QLibrary library(file);
        library.setLoadHints(QLibrary::PreventUnloadHint);
        function = reinterpret_cast<void *>(library.resolve(symbol));
        if (function)
            return std::nullopt;
        return library.errorString();
    });
    if (failure)
        return Unexpected(*failure);
    return function;
}
