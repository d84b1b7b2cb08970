// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/byte_size.h"

QString byteSizeText(double bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(qint64(bytes));
    const char *units[] = {"KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    bytes /= 1024;
    while (bytes >= 1024 && unit < 3) {
        bytes /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(bytes, 0, 'f', 1).arg(QLatin1String(units[unit]));
}
