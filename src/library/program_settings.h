// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_settings.h"

#include <QMap>
#include <QObject>

class QFileSystemWatcher;

// The download settings of one running program: read from the settings file
// once, changed and stored only here, and handed to whatever downloads. The
// file is watched: a value another program (`config`) stores while this one
// runs is taken in, key by key. A change that cannot be stored holds for the
// run all the same.
class ProgramSettings : public QObject
{
    Q_OBJECT

public:
    explicit ProgramSettings(QObject *parent = nullptr);

    const DownloadSettings &current() const { return m_current; }
    // Stored values refused when the file was first read, one line each.
    const QStringList &problems() const { return m_problems; }

    // Takes edited's values under these keys and stores only those, so a
    // value left alone never overwrites a newer one in the file. Values that
    // cannot be stored hold for this run all the same.
    Expected<void, SettingFailure> change(const DownloadSettings &edited, const QStringList &keys);

signals:
    void changed(const DownloadSettings &settings);
    // A change could not be stored; it holds for this run all the same.
    void saveFailed(const SettingFailure &why);
    // A value stored later in the file was refused; the one in use stays.
    void refused(const QString &problem);

private:
    void watch();
    void reread();
    void take(const DownloadSettings &next);

    DownloadSettings m_current;
    QMap<QString, QString> m_stored; // the file's texts as last read or written here
    QStringList m_problems;
    QFileSystemWatcher *m_watcher;
};
