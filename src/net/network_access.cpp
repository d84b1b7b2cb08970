// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/network_access.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QPointer>

namespace {

class SystemProxyFactory final : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        // A proxy cannot reach this machine's own loopback services.
        const QString host = query.peerHostName();
        const QHostAddress address(host);
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || address.isLoopback())
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

} // namespace

namespace {

QPointer<QNetworkAccessManager> sharedManager;

} // namespace

QNetworkAccessManager *sharedNetworkManager()
{
    QPointer<QNetworkAccessManager> &manager = sharedManager;
    if (manager)
        return manager;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    manager = new QNetworkAccessManager(app);
    manager->setProxyFactory(new SystemProxyFactory);
    manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    return manager;
}

void shutDownSharedNetworkManager()
{
    delete sharedManager.data();
}

void discardReply(QNetworkReply *reply, const QObject *receiver)
{
    if (!reply)
        return;
    QObject::disconnect(reply, nullptr, receiver, nullptr);
    if (reply->isRunning() && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() < 300)
        reply->abort();
    reply->deleteLater();
}
