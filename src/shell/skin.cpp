// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/skin.h"

#include "build_config.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// A style sheet is a few kilobytes; anything far larger is not one.
constexpr qint64 MaxSkinBytes = 1024 * 1024;

} // namespace

QString skinPathFor(const QString &executableFolder)
{
    const QString beside = executableFolder + QStringLiteral("/1.she");
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed =
        QDir::cleanPath(executableFolder + QStringLiteral("/" VEXA_DATA_FROM_BIN "/1.she"));
    return QFileInfo(installed).isFile() ? installed : beside;
}

QString skinPath()
{
    return skinPathFor(QCoreApplication::applicationDirPath());
}

QString readSkin(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxSkinBytes)
        return {};
    // Its own size, not the limit: a read of the limit holds a megabyte for a few kilobytes.
    const QByteArray bytes = file.read(file.size() + 1);
    if (bytes.size() > MaxSkinBytes)
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || text.contains(QChar(u'\0')))
        return {};
    return text;
}

bool applySkin(const QString &path)
{
    const QString sheet = readSkin(path);
    if (sheet.trimmed().isEmpty() || !qApp)
        return false;
    qApp->setStyleSheet(sheet);
    return true;
}
