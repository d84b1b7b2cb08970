// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_file_name.h"

#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace {

// Room kept for " (9999)" and the longest file a download writes beside
// the name, ".part.meta.new": a name that fits but whose part info cannot be
// written would make the part impossible to continue.
constexpr int NumberAndPartBytes = 21;

// Types a sound is saved as. Anything else the address ends in could hand
// a page or a script to the desktop's opener.
constexpr QStringView SoundExtensions[] = {u"mp3",  u"m4a", u"aac", u"flac", u"ogg",
                                           u"opus", u"wav", u"wma", u"ape"};

const QString FallbackName = QStringLiteral("未命名音乐");

bool isUnsafe(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || QStringView(u"/\\:*?\"<>|").contains(QChar(c));
}

// Direction marks and overrides: a name with them reads differently from
// the file it is ("…\u202egnp.exe.mp3" shows as "…3pm.exe.png").
bool isBidiControl(char16_t c)
{
    return (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069) || c == 0x200e || c == 0x200f ||
           c == 0x061c;
}

// Position of the extension's dot, or -1 when there is none worth keeping.
qsizetype extensionDot(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || name.size() - dot > 9)
        return -1;
    return dot;
}

QString trimmedEnd(QString text)
{
    while (!text.isEmpty() && (text.back() == u'.' || text.back() == u' '))
        text.chop(1);
    return text;
}

// text cut to at most maxBytes of UTF-8, on a character boundary. One pass:
// names come from the service's answers and may be huge.
QString fitBytes(const QString &text, qsizetype maxBytes)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const char32_t code =
            pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        bytes += code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (bytes > maxBytes)
            return text.left(i);
        i += pair ? 2 : 1;
    }
    return text;
}

} // namespace

QString fileExtensionOf(const QString &fileUrl)
{
    const QString path = QUrl(fileUrl).path();
    const QString last = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = last.lastIndexOf(u'.');
    const QString suffix = dot < 0 ? QString() : last.mid(dot + 1).toLower();
    const bool sound = std::find(std::begin(SoundExtensions), std::end(SoundExtensions), suffix) !=
                       std::end(SoundExtensions);
    return sound ? u'.' + suffix : QStringLiteral(".mp3");
}

QString safeFileName(const QString &text, int maxBytes)
{
    QString name;
    name.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            name += c;
            name += text.at(++i);
        } else if (isBidiControl(c.unicode())) {
            continue;
        } else if (c.isSurrogate() || isUnsafe(c.unicode())) {
            name += u'_';
        } else {
            name += c;
        }
    }
    // No hidden files, neither "." nor "..", and nothing a command line
    // would take for an option.
    qsizetype start = 0;
    while (start < name.size() &&
           (name.at(start) == u'.' || name.at(start) == u' ' || name.at(start) == u'-'))
        ++start;
    name = trimmedEnd(name.mid(start));
    if (name.toUtf8().size() <= maxBytes)
        return name;

    const qsizetype dot = extensionDot(name);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString cut = trimmedEnd(fitBytes(stem, maxBytes - extension.toUtf8().size()));
    return cut.isEmpty() ? trimmedEnd(fitBytes(name, maxBytes)) : cut + extension;
}

QString safeSoundFileName(const QString &base, const QString &extension)
{
    const int room = MaxFileNameBytes - NumberAndPartBytes - int(extension.toUtf8().size());
    QString safe = safeFileName(base, room);
    if (safe.isEmpty())
        safe = FallbackName;
    return safe + extension;
}

QString soundFileName(const QString &singer, const QString &soundName, const QString &fileUrl)
{
    const QString base = singer.isEmpty() || soundName.isEmpty()
                             ? QString(singer + soundName)
                             : QString(singer + QStringLiteral(" - ") + soundName);
    return safeSoundFileName(base, fileExtensionOf(fileUrl));
}

QString downloadFileName(const QString &wanted, const QString &fileUrl)
{
    // Subfolders stay, each made safe: none can climb out or be absolute.
    const QStringList parts = wanted.split(u'/');
    QString path;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString folder = safeFileName(parts.at(i));
        if (!folder.isEmpty())
            path += folder + u'/';
    }
    const QString name = safeFileName(parts.constLast(), MaxFileNameBytes - NumberAndPartBytes);
    return path + (name.isEmpty() ? FallbackName + fileExtensionOf(fileUrl) : name);
}

QString numberedFileName(const QString &fileName, int n)
{
    const qsizetype dot = extensionDot(fileName);
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    if (dot < 0)
        return fileName + suffix;
    return fileName.left(dot) + suffix + fileName.mid(dot);
}

QString fileNameChoice(const QString &fileName, int n)
{
    return n == 0 ? fileName : numberedFileName(fileName, n);
}
