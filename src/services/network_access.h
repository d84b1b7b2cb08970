#pragma once

class QNetworkAccessManager;

// The process's one network access manager, owned by the application object
// and created on first use. Loopback hosts bypass any proxy; everything else
// follows the system proxy settings. Null when there is no application object.
QNetworkAccessManager *SharedNetworkManager();

// Deletes the shared manager, if any, while the application object still
// lives. Left to the application's own teardown, a manager with an aborted
// request can outlive it and its network thread.
void ShutDownSharedNetworkManager();
