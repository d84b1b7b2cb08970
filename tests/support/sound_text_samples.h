// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Text the text and sound-info tests build their cases from.

#pragma once

#include <QString>

inline const QString Smile = QStringLiteral("\U0001F600"); // two UTF-16 code units
inline const QString Replacement = QStringLiteral("\uFFFD");

// Raw literals stay out of macro arguments, where moc cannot tokenize them.
inline QString raw(const char *utf8)
{
    return QString::fromUtf8(utf8);
}
