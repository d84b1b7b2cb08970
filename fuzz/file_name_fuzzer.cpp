// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The names downloads are saved under, made from the singer, the sound name
// and the file address of a service answer. Input: the three split at \x01.

#include "fuzz_support.h"

#include "download/download_file_name.h"

#include <QStringList>

namespace {

// Room the download keeps beside a name: " (9999)" and its longest
// companion file's suffix.
const QString LongestNumber = QStringLiteral(" (9999)");
const QString PartSuffix = QStringLiteral(".part.meta.new");
const QStringList SoundTypes = {QStringLiteral(".mp3"),  QStringLiteral(".m4a"), QStringLiteral(".aac"),
                                QStringLiteral(".flac"), QStringLiteral(".ogg"), QStringLiteral(".opus"),
                                QStringLiteral(".wav"),  QStringLiteral(".wma"), QStringLiteral(".ape")};

QString describe(const QString &name)
{
    return QStringLiteral("[%1] %2 bytes").arg(name).arg(name.toUtf8().size());
}

// Usable as one file name here and on the systems files are copied to.
void checkSafe(const QString &name, int maxBytes)
{
    FUZZ_CHECK(name.toUtf8().size() <= maxBytes, describe(name));
    FUZZ_CHECK(isValidUtf16(name), describe(name));
    FUZZ_CHECK(name != u"." && name != u"..", describe(name));
    for (QChar c : name) {
        FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7f && !QStringView(u"/\\:*?\"<>|").contains(c),
                   describe(name));
        // Direction controls would make the name read as another.
        FUZZ_CHECK(c.direction() != QChar::DirRLO && c.direction() != QChar::DirLRO &&
                       c.direction() != QChar::DirRLE && c.direction() != QChar::DirLRE &&
                       c.direction() != QChar::DirRLI && c.direction() != QChar::DirLRI &&
                       c.direction() != QChar::DirFSI && c.direction() != QChar::DirPDI &&
                       c.direction() != QChar::DirPDF,
                   describe(name));
    }
    if (!name.isEmpty()) {
        FUZZ_CHECK(name.front() != u'.' && name.front() != u' ' && name.front() != u'-', describe(name));
        FUZZ_CHECK(name.back() != u'.' && name.back() != u' ', describe(name));
    }
}

void checkExtension(const QString &extension)
{
    FUZZ_CHECK(SoundTypes.contains(extension), extension);
}

// Every alternative the download may try, with its ".part", fits.
void checkNumbered(const QString &name)
{
    for (int n : {1, 9999}) {
        const QString numbered = numberedFileName(name, n);
        const QString number = QStringLiteral(" (%1)").arg(n);
        FUZZ_CHECK(numbered.contains(number) && numbered.size() == name.size() + number.size(),
                   describe(numbered));
        checkSafe(numbered + PartSuffix, MaxFileNameBytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts = QString::fromUtf8(fuzzBytes(data, size)).split(u'\x01');
    const QString singer = parts.value(0);
    const QString soundName = parts.value(1);
    const QString fileUrl = parts.value(2);

    const QString extension = fileExtensionOf(fileUrl);
    checkExtension(extension);

    const QString soundFile = soundFileName(singer, soundName, fileUrl);
    FUZZ_CHECK(!soundFile.isEmpty() && soundFile.endsWith(extension), describe(soundFile));
    checkSafe(soundFile, MaxFileNameBytes - LongestNumber.size() - PartSuffix.size());
    checkNumbered(soundFile);

    // Any text at all, with the limits callers use and tiny ones.
    for (const QString &text : {singer, soundName, fileUrl}) {
        for (int maxBytes : {MaxFileNameBytes, MaxFileNameBytes - 12, 16, 5, 3, 1, 0}) {
            const QString safe = safeFileName(text, maxBytes);
            checkSafe(safe, maxBytes);
            FUZZ_CHECK(safeFileName(safe, maxBytes) == safe, describe(safe));
        }
        const QString wanted =
            safeFileName(text, MaxFileNameBytes - LongestNumber.size() - PartSuffix.size());
        if (!wanted.isEmpty())
            checkNumbered(wanted);
    }
    return 0;
}
