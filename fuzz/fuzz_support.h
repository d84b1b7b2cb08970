// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared by every fuzz target: a result that breaks a rule ends the run as a
// finding, the same as a crash.
[[noreturn]] void fuzzFailure(const char *rule, const QString &detail);

#define FUZZ_CHECK(condition, detail)                                                                        \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzzFailure(#condition, (detail));                                                               \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Bytes as a fetch hands them over: decoded with the charset of an optional
// first line "CT:<content type>", else as UTF-8 (saved answers and pages
// need no such line).
QString fetchedText(const QByteArray &bytes);

// No unpaired surrogate: the text can be written out as UTF-8 unchanged.
bool isValidUtf16(const QString &text);
