// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/session_bus.h"

#include <QFileInfo>
#include <QtGlobal>

bool sessionBusIsThere()
{
    static const bool there = [] {
        if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            return true;
        // Where a systemd user session keeps it, which libdbus looks at too.
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")))
            return true;
        qInfo("vexa-helper: no session bus: media keys and desktop notifications are off for this run");
        return false;
    }();
    return there;
}
