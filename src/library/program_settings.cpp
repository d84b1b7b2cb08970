// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/program_settings.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSettings>

ProgramSettings::ProgramSettings(QObject *parent)
    : QObject(parent)
    , m_current(DownloadSettings::defaults())
    , m_watcher(new QFileSystemWatcher(this))
{
    m_stored = storedSettingTexts();
    applyStoredTexts(m_current, m_stored, &m_problems);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &ProgramSettings::reread);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &ProgramSettings::reread);
    watch();
}

Expected<void, SettingFailure> ProgramSettings::change(const DownloadSettings &edited,
                                                       const QStringList &keys)
{
    if (keys.isEmpty())
        return {};
    DownloadSettings next = m_current;
    for (const QString &key : keys)
        (void)next.set(key, edited.value(key)); // edited's values were taken by set() already
    const auto saved = saveDownloadSettings(next, keys);
    if (saved) {
        for (const QString &key : std::as_const(keys))
            m_stored.insert(key, next.value(key));
    }
    take(next);
    if (!saved)
        emit saveFailed(saved.error());
    return saved;
}

void ProgramSettings::watch()
{
    // Saving replaces the file, which ends the watch on it: its folder tells
    // of the new one. Before the folder is made, the nearest folder that is
    // tells when it is.
    const QString file = QFileInfo(openSettingsFile().fileName()).absoluteFilePath();
    QString folder = QFileInfo(file).absolutePath();
    while (!QFileInfo(folder).isDir() && folder != QFileInfo(folder).absolutePath())
        folder = QFileInfo(folder).absolutePath();
    for (const QString &watched : m_watcher->directories())
        if (watched != folder)
            m_watcher->removePath(watched);
    if (!m_watcher->directories().contains(folder))
        m_watcher->addPath(folder);
    if (!m_watcher->files().contains(file) && QFileInfo(file).isFile())
        m_watcher->addPath(file);
}

void ProgramSettings::reread()
{
    watch();
    // Only what the file now holds otherwise: a value this run could not
    // store stays, and so does one missing from a file half written.
    const QMap<QString, QString> stored = storedSettingTexts();
    QMap<QString, QString> news;
    for (auto text = stored.cbegin(); text != stored.cend(); ++text)
        if (!m_stored.contains(text.key()) || m_stored.value(text.key()) != text.value())
            news.insert(text.key(), text.value());
    if (news.isEmpty())
        return;
    m_stored.insert(news);
    DownloadSettings next = m_current;
    QStringList problems;
    applyStoredTexts(next, news, &problems);
    take(next);
    for (const QString &problem : std::as_const(problems))
        emit refused(problem);
}

void ProgramSettings::take(const DownloadSettings &next)
{
    if (next == m_current)
        return;
    m_current = next;
    emit changed(m_current);
}
