// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/version_text.h"

#include "build_config.h"

QString versionText()
{
    return versionText(VEXA_VERSION_MAJOR, VEXA_VERSION_MINOR, VEXA_VERSION_PATCH);
}

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("V%1.%2.%3").arg(major).arg(minor).arg(revision);
}
