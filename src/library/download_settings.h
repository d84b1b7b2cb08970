// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"

#include <QMap>
#include <QString>
#include <QStringList>

class QSettings;

// Why a setting was refused, or the settings could not be stored.
enum class SettingProblem {
    UnknownKey,
    EmptyFolder,
    RelativeFolder,
    BadTemplate, // code: the template's TemplateProblem, detail: its detail
    NotYesNo,
    BadId3Version,
    BadJobs,
    Unwritable, // the settings file, named in detail
};
using SettingFailure = Failure<SettingProblem>;
QString settingProblemText(const SettingFailure &failure);

// How downloads are saved, and whether sound addresses copied elsewhere go
// into the address box; kept in the user's config folder between runs.
struct DownloadSettings
{
    QString folder;
    QString nameTemplate;
    bool tags = true;
    int id3Version = 4;
    bool clipboardOffers = false;
    int jobs = 3; // downloads running at once; the rest wait their turn

    static constexpr int MaxJobs = 10;

    // The user's download folder, the default template, tags in ID3 v2.4.
    static DownloadSettings defaults();

    // The keys the command line knows: folder, name, tags, id3-version,
    // clipboard-offers, jobs.
    static QStringList keys();

    // The value under a key as the command line prints it; empty for an
    // unknown key.
    QString value(const QString &key) const;

    // Sets a key from text; a refused text leaves the previous value.
    Expected<void, SettingFailure> set(const QString &key, const QString &text);

    // The keys under which other holds another value.
    QStringList keysDifferingFrom(const DownloadSettings &other) const;

    bool operator==(const DownloadSettings &) const = default;
};

// The stored settings; a missing or refused value falls back to its default.
// Each refused one adds a line to problems saying where, why and what is
// used instead, for the caller to tell.
DownloadSettings loadDownloadSettings(QStringList *problems = nullptr);

// The texts the file holds under the keys; a key it lacks is left out.
QMap<QString, QString> storedSettingTexts();

// Lays texts read from the file over settings, key by key; a refused one
// keeps the value settings had and adds a line to problems as above.
void applyStoredTexts(DownloadSettings &settings, const QMap<QString, QString> &texts, QStringList *problems);

// Writes the settings under these keys only, so that others stored meanwhile
// are kept.
Expected<void, SettingFailure> saveDownloadSettings(const DownloadSettings &settings,
                                                    const QStringList &keys = DownloadSettings::keys());

// The program's settings file in the user's config folder, which the
// window's own settings share.
QSettings openSettingsFile();
