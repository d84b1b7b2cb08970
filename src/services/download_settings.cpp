// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "services/download_settings.h"

#include "services/name_template.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString FolderKey = QStringLiteral("folder");
const QString NameKey = QStringLiteral("name");
const QString TagsKey = QStringLiteral("tags");
const QString Id3Key = QStringLiteral("id3-version");

} // namespace

QSettings openSettingsFile()
{
    return {QSettings::IniFormat, QSettings::UserScope, QStringLiteral("vexa-helper"),
            QStringLiteral("vexa-helper")};
}

DownloadSettings DownloadSettings::defaults()
{
    DownloadSettings settings;
    settings.folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    settings.nameTemplate = DefaultNameTemplate;
    return settings;
}

QStringList DownloadSettings::keys()
{
    return {FolderKey, NameKey, TagsKey, Id3Key};
}

QString DownloadSettings::value(const QString &key) const
{
    if (key == FolderKey)
        return folder;
    if (key == NameKey)
        return nameTemplate;
    if (key == TagsKey)
        return tags ? QStringLiteral("true") : QStringLiteral("false");
    if (key == Id3Key)
        return QString::number(id3Version);
    return {};
}

QString DownloadSettings::set(const QString &key, const QString &text)
{
    if (key == FolderKey) {
        if (text.trimmed().isEmpty())
            return QStringLiteral("empty folder");
        // Stored absolute so a relative folder keeps meaning the same place.
        folder = QDir::cleanPath(QFileInfo(text).absoluteFilePath());
        return {};
    }
    if (key == NameKey) {
        const QString problem = nameTemplateProblem(text);
        if (problem.isEmpty())
            nameTemplate = text;
        return problem;
    }
    if (key == TagsKey) {
        const QString word = text.trimmed().toLower();
        static const QStringList on = {QStringLiteral("true"), QStringLiteral("yes"), QStringLiteral("on"),
                                       QStringLiteral("1")};
        static const QStringList off = {QStringLiteral("false"), QStringLiteral("no"), QStringLiteral("off"),
                                        QStringLiteral("0")};
        if (!on.contains(word) && !off.contains(word))
            return QStringLiteral("not true or false");
        tags = on.contains(word);
        return {};
    }
    if (key == Id3Key) {
        const QString number = text.trimmed();
        if (number != QLatin1String("3") && number != QLatin1String("4"))
            return QStringLiteral("the ID3 version is 3 or 4");
        id3Version = number.toInt();
        return {};
    }
    return QStringLiteral("unknown setting");
}

DownloadSettings loadDownloadSettings()
{
    DownloadSettings settings = DownloadSettings::defaults();
    QSettings stored = openSettingsFile();
    for (const QString &key : DownloadSettings::keys()) {
        if (stored.contains(key))
            settings.set(key, stored.value(key).toString());
    }
    return settings;
}

QString saveDownloadSettings(const DownloadSettings &settings)
{
    QSettings stored = openSettingsFile();
    for (const QString &key : DownloadSettings::keys())
        stored.setValue(key, settings.value(key));
    stored.sync();
    if (stored.status() == QSettings::NoError)
        return {};
    return QStringLiteral("cannot write %1").arg(stored.fileName());
}
