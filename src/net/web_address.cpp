// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/web_address.h"

#include <QUrl>

bool isWebAddress(const QString &address)
{
    const QUrl url(address);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme(); // QUrl lower-cases it
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}
