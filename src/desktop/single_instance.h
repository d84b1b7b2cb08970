// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One window per user: the first window listens on a local socket, and a
// later start hands its address to it instead of opening a second one.
namespace SingleInstance {

// The socket's path: VEXA_HELPER_INSTANCE_SOCKET when set (tests keep away
// from the user's window that way; a bare name lies in the temporary
// folder), else a per-user name in the runtime folder, or in the temporary
// folder when there is none.
QString socketPath();

enum class HandOver {
    Delivered, // a window took the address
    NoWindow,  // nobody listens: become the window
    NoAnswer,  // a window is there but did not answer in time
};

// Gives address (empty: only raise the window) to the window listening at
// path and waits at most timeoutMs for its acknowledgement. Blocking, for
// the start-up before any application object exists.
HandOver handOver(const QString &path, const QString &address, int timeoutMs = 5000);
// The same for sound page addresses to download.
HandOver handOverDownloads(const QString &path, const QStringList &addresses, int timeoutMs = 5000);

} // namespace SingleInstance

// The first window's end of the socket.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    explicit InstanceServer(QObject *parent = nullptr);

    // Listens at path. A socket left behind by a crashed run is taken over;
    // one that still answers is never taken: false then, as when listening
    // fails for any other reason.
    bool listen(const QString &path);
    QString errorString() const;

signals:
    // A later start handed this address over; empty when it gave none.
    void addressReceived(const QString &address);
    // A later start handed these addresses over to be downloaded.
    void downloadsReceived(const QStringList &addresses);

private:
    void onNewConnection();
    void readRequest(QLocalSocket *socket);

    QLocalServer *m_server = nullptr;
};
