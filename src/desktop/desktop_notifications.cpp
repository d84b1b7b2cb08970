// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/desktop_notifications.h"

#include "desktop/session_bus.h"

#include "download/download_file_name.h"
#include "library/download_entry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDebug>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString OpenAction = QStringLiteral("open");
const QString OpenFolderAction = QStringLiteral("open-folder");
// A service that never says a notification closed must not grow the table forever.
constexpr qsizetype MaxRemembered = 64;

// Told once per run, however many windows and downloads there are.
bool toldUnavailable = false;

QString downloadedText()
{
    return DesktopNotifications::tr("音乐下载完成");
}
QString downloadFailedText()
{
    return DesktopNotifications::tr("音乐下载失败");
}
QString openText()
{
    return DesktopNotifications::tr("打开");
}
QString openFolderText()
{
    return DesktopNotifications::tr("打开文件夹");
}

} // namespace

DesktopNotifications::DesktopNotifications(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_opener(&QDesktopServices::openUrl)
{}

void DesktopNotifications::downloadEnded(const DownloadEntry &entry, const DownloadResult &result)
{
    const bool ok = entry.state == DownloadState::Done;
    if (!ok && entry.state != DownloadState::Failed)
        return; // paused or cancelled by the user, who knows
    if (m_window->isActiveWindow() && m_window->isVisible() && !m_window->isMinimized())
        return; // the status line tells it
    if (!listen())
        return;

    // A failed download has nothing to open, and its folder may be what failed.
    Targets targets;
    QStringList actions;
    QString fileName;
    if (ok) {
        const QFileInfo saved(entry.savedPath);
        targets = {entry.savedPath, saved.absolutePath(), {}};
        actions = {OpenAction, openText(), OpenFolderAction, openFolderText()};
        fileName = saved.fileName();
    } else {
        // The name before a taken one gets its " (n)": what a failure is told by.
        fileName = QFileInfo(downloadFileName(entry.fileName, entry.fileUrl)).fileName();
    }
    // Most services read the body as markup, so a "&" in a name must not start one.
    QString body = fileName.toHtmlEscaped();
    if (!ok)
        body += u'\n' + (result ? QString() : downloadFailureText(result.error())).toHtmlEscaped();
    QVariantMap hints;
    hints.insert(QStringLiteral("category"),
                 ok ? QStringLiteral("transfer.complete") : QStringLiteral("transfer.error"));
    const QString desktopEntry = QGuiApplication::desktopFileName();
    if (!desktopEntry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), desktopEntry);

    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // The icon carries the desktop entry's name.
    call << m_window->windowTitle() << uint(0) << desktopEntry
         << (ok ? downloadedText() : downloadFailedText()) << body << actions << hints << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, targets](QDBusPendingCallWatcher *done) {
                done->deleteLater();
                const QDBusPendingReply<uint> reply = *done;
                if (reply.isError()) {
                    tellUnavailable(reply.error().message());
                    return;
                }
                if (targets.file.isEmpty())
                    return;
                if (m_shown.size() >= MaxRemembered) // ids grow, so the smallest is the oldest
                    m_shown.remove(*std::min_element(m_shown.keyBegin(), m_shown.keyEnd()));
                Targets shown = targets;
                shown.owner = reply.reply().service();
                m_shown.insert(reply.value(), shown);
            });
}

bool DesktopNotifications::listen()
{
    if (m_listening)
        return true;
    if (!sessionBusIsThere())
        return false; // told once already
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        tellUnavailable(bus.lastError().message());
        return false;
    }
    // Any sender: naming the service would make Qt ask the bus for its owner
    // and wait. The slots check the sender against the one that answered.
    // Qt D-Bus connects signals by signature only.
    bus.connect(QString(), Path, Service, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString, QDBusMessage)));
    bus.connect(QString(), Path, Service, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint, QDBusMessage)));
    m_listening = true;
    return true;
}

void DesktopNotifications::onActionInvoked(uint id, const QString &action, const QDBusMessage &message)
{
    const auto found = m_shown.constFind(id);
    if (found == m_shown.cend() || found->owner != message.service())
        return;
    if (action == OpenAction)
        m_opener(QUrl::fromLocalFile(found->file));
    else if (action == OpenFolderAction)
        m_opener(QUrl::fromLocalFile(found->folder));
}

void DesktopNotifications::onClosed(uint id, uint /*reason*/, const QDBusMessage &message)
{
    const auto found = m_shown.constFind(id);
    if (found != m_shown.cend() && found->owner == message.service())
        m_shown.erase(found);
}

void DesktopNotifications::tellUnavailable(const QString &why)
{
    if (!std::exchange(toldUnavailable, true))
        qWarning().noquote() << QStringLiteral("vexa-helper: %1: %2").arg(tr("无法发送桌面通知"), why);
}
