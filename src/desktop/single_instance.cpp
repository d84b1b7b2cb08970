// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// One request line, "open ADDRESS\n" or "download ADDRESS\tADDRESS…\n",
// answered by "ok\n". The prefixes keep an unrelated program that happens to
// use the path from being taken for us.
constexpr QByteArrayView OpenPrefix = "open ";
constexpr QByteArrayView DownloadPrefix = "download ";
constexpr char AddressSeparator = '\t';
constexpr QByteArrayView Acknowledgement = "ok\n";
// Far above any sound page address; a longer line is no request of ours.
constexpr qsizetype MaxRequestSize = 16 * 1024;

// One line, whatever the address holds.
QByteArray oneLine(const QString &address)
{
    QByteArray bytes = address.toUtf8();
    bytes.replace('\n', ' ');
    bytes.replace(AddressSeparator, ' ');
    return bytes;
}

SingleInstance::HandOver sendRequest(const QString &path, const QByteArray &request, int timeoutMs)
{
    using SingleInstance::HandOver;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer : HandOver::NoWindow;
    socket.write(request + '\n');
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(int(deadline.remainingTime()))) {
    }
    QByteArray answer = socket.readAll();
    while (!answer.contains('\n') && answer.size() < Acknowledgement.size() &&
           socket.waitForReadyRead(int(deadline.remainingTime())))
        answer += socket.readAll();
    return answer == Acknowledgement ? HandOver::Delivered : HandOver::NoAnswer;
}

} // namespace

namespace SingleInstance {

QString socketPath()
{
    const QString override = qEnvironmentVariable("VEXA_HELPER_INSTANCE_SOCKET");
    if (!override.isEmpty())
        return override;
    // Asked only when set: without it Qt warns and invents a folder in /tmp.
    QString folder;
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath(); // shared by all users: the user id keeps names apart
    return QDir(folder).filePath(QStringLiteral("vexa-helper-%1.socket").arg(::getuid()));
}

HandOver handOver(const QString &path, const QString &address, int timeoutMs)
{
    return sendRequest(path, OpenPrefix.toByteArray() + oneLine(address), timeoutMs);
}

HandOver handOverDownloads(const QString &path, const QStringList &addresses, int timeoutMs)
{
    QByteArrayList lines;
    for (const QString &address : addresses)
        lines.append(oneLine(address));
    return sendRequest(path, DownloadPrefix.toByteArray() + lines.join(AddressSeparator), timeoutMs);
}

} // namespace SingleInstance

InstanceServer::InstanceServer(QObject *parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    // No access options: with them Qt binds elsewhere and renames the socket
    // into place, replacing a live window's socket instead of failing. The
    // umask keeps other users out of one in the shared temporary folder.
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
}

bool InstanceServer::listen(const QString &path)
{
    if (m_server->listen(path))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Taken only when nobody answers there: a crashed run's leftover.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

QString InstanceServer::errorString() const
{
    return m_server->errorString();
}

void InstanceServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        readRequest(socket); // bytes may have come with the connection
    }
}

void InstanceServer::readRequest(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > MaxRequestSize)
            socket->abort();
        return;
    }
    QByteArray line = socket->readLine(MaxRequestSize);
    const bool opens = line.startsWith(OpenPrefix);
    if (!line.endsWith('\n') || (!opens && !line.startsWith(DownloadPrefix))) {
        socket->abort();
        return;
    }
    line.chop(1);
    socket->write(Acknowledgement.data(), Acknowledgement.size());
    socket->disconnectFromServer(); // after the acknowledgement is written
    if (opens) {
        emit addressReceived(QString::fromUtf8(line.mid(OpenPrefix.size())).trimmed());
        return;
    }
    QStringList addresses;
    for (const QByteArray &address : line.mid(DownloadPrefix.size()).split(AddressSeparator)) {
        if (const QString trimmed = QString::fromUtf8(address).trimmed(); !trimmed.isEmpty())
            addresses.append(trimmed);
    }
    emit downloadsReceived(addresses);
}
