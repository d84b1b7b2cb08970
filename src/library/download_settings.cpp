// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_settings.h"

#include "download/name_template.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString FolderKey = QStringLiteral("folder");
const QString NameKey = QStringLiteral("name");
const QString TagsKey = QStringLiteral("tags");
const QString Id3Key = QStringLiteral("id3-version");
const QString ClipboardKey = QStringLiteral("clipboard-offers");
const QString JobsKey = QStringLiteral("jobs");

QString yesNo(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// Leaves the value as it was when the text is neither.
Expected<void, SettingFailure> setYesNo(bool &value, const QString &text)
{
    const QString word = text.trimmed().toLower();
    static const QStringList on = {QStringLiteral("true"), QStringLiteral("yes"), QStringLiteral("on"),
                                   QStringLiteral("1")};
    static const QStringList off = {QStringLiteral("false"), QStringLiteral("no"), QStringLiteral("off"),
                                    QStringLiteral("0")};
    if (!on.contains(word) && !off.contains(word))
        return unexpected(SettingProblem::NotYesNo);
    value = on.contains(word);
    return {};
}

} // namespace

QString settingProblemText(const SettingFailure &failure)
{
    switch (failure.reason) {
    case SettingProblem::UnknownKey:
        return QCoreApplication::translate("DownloadSettings", "未知设置");
    case SettingProblem::EmptyFolder:
        return QCoreApplication::translate("DownloadSettings", "文件夹为空");
    case SettingProblem::RelativeFolder:
        return QCoreApplication::translate("DownloadSettings", "须为绝对路径（以 / 或 ~/ 开头）");
    case SettingProblem::BadTemplate:
        return templateProblemText({TemplateProblem(failure.code), failure.detail});
    case SettingProblem::NotYesNo:
        return QCoreApplication::translate("DownloadSettings", "不是 true 或 false");
    case SettingProblem::BadId3Version:
        return QCoreApplication::translate("DownloadSettings", "ID3 版本只能是 3 或 4");
    case SettingProblem::BadJobs:
        return QCoreApplication::translate("DownloadSettings", "同时下载数只能是 1 到 %1")
            .arg(DownloadSettings::MaxJobs);
    case SettingProblem::Unwritable:
        return QCoreApplication::translate("DownloadSettings", "无法写入 %1").arg(failure.detail);
    }
    return {};
}

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
    return {FolderKey, NameKey, TagsKey, Id3Key, ClipboardKey, JobsKey};
}

QString DownloadSettings::value(const QString &key) const
{
    if (key == FolderKey)
        return folder;
    if (key == NameKey)
        return nameTemplate;
    if (key == TagsKey)
        return yesNo(tags);
    if (key == Id3Key)
        return QString::number(id3Version);
    if (key == ClipboardKey)
        return yesNo(clipboardOffers);
    if (key == JobsKey)
        return QString::number(jobs);
    return {};
}

Expected<void, SettingFailure> DownloadSettings::set(const QString &key, const QString &text)
{
    if (key == FolderKey) {
        if (text.trimmed().isEmpty())
            return unexpected(SettingProblem::EmptyFolder);
        // The shell leaves a quoted "~" alone; a relative folder would mean
        // a different place from every folder the program is started in.
        QString path = text;
        if (path == u'~' || path.startsWith(QStringLiteral("~/")))
            path.replace(0, 1, QDir::homePath());
        if (QDir::isRelativePath(path))
            return unexpected(SettingProblem::RelativeFolder, path);
        folder = QDir::cleanPath(path);
        return {};
    }
    if (key == NameKey) {
        if (const auto checked = checkNameTemplate(text); !checked)
            return unexpected(SettingProblem::BadTemplate, checked.error().detail,
                              int(checked.error().reason));
        nameTemplate = text;
        return {};
    }
    if (key == TagsKey)
        return setYesNo(tags, text);
    if (key == ClipboardKey)
        return setYesNo(clipboardOffers, text);
    if (key == Id3Key) {
        const QString number = text.trimmed();
        if (number != QLatin1String("3") && number != QLatin1String("4"))
            return unexpected(SettingProblem::BadId3Version, number);
        id3Version = number.toInt();
        return {};
    }
    if (key == JobsKey) {
        bool ok = false;
        const int number = text.trimmed().toInt(&ok);
        if (!ok || number < 1 || number > MaxJobs)
            return unexpected(SettingProblem::BadJobs, text);
        jobs = number;
        return {};
    }
    return unexpected(SettingProblem::UnknownKey, key);
}

QStringList DownloadSettings::keysDifferingFrom(const DownloadSettings &other) const
{
    QStringList differing;
    for (const QString &key : keys())
        if (value(key) != other.value(key))
            differing.append(key);
    return differing;
}

QMap<QString, QString> storedSettingTexts()
{
    QMap<QString, QString> texts;
    const QSettings stored = openSettingsFile();
    for (const QString &key : DownloadSettings::keys())
        if (stored.contains(key))
            texts.insert(key, stored.value(key).toString());
    return texts;
}

void applyStoredTexts(DownloadSettings &settings, const QMap<QString, QString> &texts, QStringList *problems)
{
    for (const QString &key : DownloadSettings::keys()) {
        if (!texts.contains(key))
            continue;
        const QString text = texts.value(key);
        const auto taken = settings.set(key, text);
        if (!taken && problems)
            problems->append(
                QCoreApplication::translate("DownloadSettings", "%1 中 %2=%3 有误（%4），改用 %5")
                    .arg(QDir::toNativeSeparators(openSettingsFile().fileName()), key, text,
                         settingProblemText(taken.error()), settings.value(key)));
    }
}

DownloadSettings loadDownloadSettings(QStringList *problems)
{
    DownloadSettings settings = DownloadSettings::defaults();
    applyStoredTexts(settings, storedSettingTexts(), problems);
    return settings;
}

Expected<void, SettingFailure> saveDownloadSettings(const DownloadSettings &settings, const QStringList &keys)
{
    QSettings stored = openSettingsFile();
    for (const QString &key : keys)
        stored.setValue(key, settings.value(key));
    stored.sync();
    if (stored.status() == QSettings::NoError)
        return {};
    return unexpected(SettingProblem::Unwritable, stored.fileName());
}
