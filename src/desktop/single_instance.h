// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One window per user: the first window listens on a local socket, and a
// later start hands its address to it instead of opening a second one.
namespace SingleInstance {

// Why the socket's folder is not used: anyone who could plant a socket in
// it would be handed every later start's addresses.
enum class FolderProblem {
    NotMade,      // could not be made or looked at (errno in code)
    Symlink,      // a symbolic link, wherever it points
    NotAFolder,   // something else is there
    OtherOwner,   // another user's
    OpenToOthers, // not mode 0700
};

// The detail is the folder.
using FolderFailure = Failure<FolderProblem>;

// Where the socket lives: VEXA_HELPER_INSTANCE_SOCKET when set (tests keep
// away from the user's window that way; a bare name lies in the temporary
// folder), else a per-user name in the runtime folder, or, when there is
// none, in a folder of the user's own under the temporary folder, made
// 0700 when missing. The folder is used only when it is a real folder of
// this user's with mode 0700.
Expected<QString, FolderFailure> socketPlace();

enum class HandOver {
    Delivered, // a window took the address
    NoWindow,  // nobody listens: become the window
    NoAnswer,  // a window is there but did not answer in time
    NotOurs,   // another user listens there: nothing was handed over
};

// A window of ours answers from its event loop at once; one that has not
// within this is stuck, and the start goes on without it.
constexpr int DefaultAnswerMs = 1500;

// Gives address (empty: only raise the window) to the window listening at
// path and waits at most timeoutMs for its acknowledgement. Blocking, for
// the start-up before any application object exists.
HandOver handOver(const QString &path, const QString &address, int timeoutMs = DefaultAnswerMs);
// The same for sound page addresses to download.
HandOver handOverDownloads(const QString &path, const QStringList &addresses,
                           int timeoutMs = DefaultAnswerMs);

} // namespace SingleInstance

// The first window's end of the socket.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    explicit InstanceServer(QObject *parent = nullptr);

    enum class ListenProblem {
        Answering, // a window answers there: never taken
        Failed,    // the socket's own words in detail
    };
    // Listens at path, for this user alone. A socket left behind by a
    // crashed run is taken over.
    Expected<void, Failure<ListenProblem>> listen(const QString &path);

signals:
    // A later start handed this address over; empty when it gave none.
    void addressReceived(const QString &address);
    // A later start handed these addresses over to be downloaded.
    void downloadsReceived(const QStringList &addresses);

private:
    bool listenPrivately(const QString &path);
    void onNewConnection();
    void readRequest(QLocalSocket *socket);

    QLocalServer *m_server = nullptr;
};
