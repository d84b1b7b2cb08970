// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Longest file name the file systems we save to accept, in bytes.
constexpr int MaxFileNameBytes = 255;

// Highest n of the "name (n).ext" alternatives a download tries.
constexpr int MaxFileNumber = 9999;

// The extension of the file an address names, with its dot (".wav"), when
// it is a sound type we save; ".mp3" otherwise.
QString fileExtensionOf(const QString &fileUrl);

// text made safe as one file name: no separators, NUL or control characters,
// none of the characters other systems forbid, no direction controls, no
// leading dots or dashes, no trailing dots and spaces, at most maxBytes of UTF-8 (cut on a character
// boundary, the extension kept). Empty when nothing usable is left.
QString safeFileName(const QString &text, int maxBytes = MaxFileNameBytes);

// base made safe as the name of a file being downloaded, leaving room for a
// " (n)" and the part file's companions, then extension; a stand-in name when nothing usable
// is left.
QString safeSoundFileName(const QString &base, const QString &extension);

// "singer - name.ext" for a sound, made safe, leaving room for a " (n)"
// and the ".part.meta.new" of the file being written.
QString soundFileName(const QString &singer, const QString &soundName, const QString &fileUrl);

// The wanted relative path of a download ("folder/name.ext") made safe
// again part by part, empty folder parts left out, the name with the same
// room; a stand-in name with the address's extension when nothing usable is
// left.
QString downloadFileName(const QString &wanted, const QString &fileUrl);

// "name (n).ext" for the n-th alternative to an existing file.
QString numberedFileName(const QString &fileName, int n);

// The n-th name to try for a new file: the name itself for 0, then the
// numbered alternatives.
QString fileNameChoice(const QString &fileName, int n);
