// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHostAddress>
#include <QString>
#include <QTcpServer>

// "127.0.0.1:PORT" of a loopback port with nobody listening.
inline QString closedLoopbackHost()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 port = server.serverPort();
    server.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}
