// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/message_handler.h"

#include <QLatin1StringView>
#include <QtGlobal>

namespace {

bool g_verbose = false;
QtMessageHandler g_qtHandler = nullptr;

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Some parts below the command line tell their problems this way.
    const bool ours = message.startsWith(QLatin1StringView("vexa-helper: "));
    if (g_verbose || ours || type == QtFatalMsg)
        g_qtHandler(type, context, message);
}

} // namespace

void installMessageHandler(bool verbose)
{
    g_verbose = verbose;
    g_qtHandler = qInstallMessageHandler(handleMessage);
}
