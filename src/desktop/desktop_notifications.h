// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_result.h"
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QDBusMessage;
class QUrl;
class QWidget;
struct DownloadEntry;

// Tells the desktop's notification service of a download that ended while
// the window was not in front, with actions that open the file or its
// folder. Every call is asynchronous; without a service nothing happens
// but one line on stderr for the whole run.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    // window decides whether the user sees the outcome already; it is the parent.
    explicit DesktopNotifications(QWidget *window);

    // What the actions open with; the desktop's handler by default.
    void setOpener(UrlOpener opener) { m_opener = std::move(opener); }

    // Sends a notification of a download that ended done or failed (as
    // the queue tells it) unless the window is the active one.
    void downloadEnded(const DownloadEntry &entry, const DownloadResult &result);

private Q_SLOTS:
    // Broadcast by the service for every client's notifications: only ours count.
    void onActionInvoked(uint id, const QString &action, const QDBusMessage &message);
    void onClosed(uint id, uint reason, const QDBusMessage &message);

private:
    struct Targets
    {
        QString file; // empty when the notification has no actions
        QString folder;
        QString owner; // the service's unique bus name
    };

    bool listen();
    void tellUnavailable(const QString &why);

    QWidget *m_window;
    UrlOpener m_opener;
    bool m_listening = false;
    QHash<uint, Targets> m_shown; // notification id → what its actions open
};
