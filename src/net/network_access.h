// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;

// The process's one network access manager, owned by the application object
// and created on first use. Loopback hosts bypass any proxy; everything else
// follows the system proxy settings. Null when there is no application object.
QNetworkAccessManager *sharedNetworkManager();

// How long any transfer may go without a byte before it counts as stalled,
// unless the user sets another time.
inline constexpr std::chrono::milliseconds DefaultStallTimeout = std::chrono::seconds(30);

// Deletes the shared manager, if any, while the application object still
// lives. Left to the application's own teardown, a manager with an aborted
// request can outlive it and its network thread.
void shutDownSharedNetworkManager();

// Ends a reply nobody wants any more: receiver hears nothing more from it,
// a running transfer is aborted, and the reply is deleted later (callers may
// be inside one of its signals). A reply with an error status is only
// deleted, which ends it quietly: aborting it makes Qt complain on stderr
// that its error was set twice.
void discardReply(QNetworkReply *reply, const QObject *receiver);
