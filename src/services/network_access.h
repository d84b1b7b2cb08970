#pragma once

class QNetworkAccessManager;

// The process's one network access manager, owned by the application object
// and created on first use. Loopback hosts bypass any proxy; everything else
// follows the system proxy settings. Null when there is no application object.
QNetworkAccessManager *SharedNetworkManager();
