// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
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

// Whether the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr descriptor)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::getuid();
}

// lstat, so a link is seen as a link and never followed.
Expected<void, SingleInstance::FolderFailure> checkFolder(const QString &folder)
{
    using SingleInstance::FolderProblem;
    struct stat info = {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return unexpected(FolderProblem::NotMade, folder, errno);
    if (S_ISLNK(info.st_mode))
        return unexpected(FolderProblem::Symlink, folder);
    if (!S_ISDIR(info.st_mode))
        return unexpected(FolderProblem::NotAFolder, folder);
    if (info.st_uid != ::getuid())
        return unexpected(FolderProblem::OtherOwner, folder);
    if ((info.st_mode & 07777) != S_IRWXU)
        return unexpected(FolderProblem::OpenToOthers, folder);
    return {};
}

Expected<QString, SingleInstance::FolderFailure> placeIn(const QString &folder, bool make,
                                                         const QString &name)
{
    // 0700 whatever the umask, which can only take bits away.
    if (make && ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return unexpected(SingleInstance::FolderProblem::NotMade, folder, errno);
    if (auto checked = checkFolder(folder); !checked)
        return Unexpected(checked.error());
    return QDir(folder).filePath(name);
}

SingleInstance::HandOver sendRequest(const QString &path, const QByteArray &request, int timeoutMs)
{
    using SingleInstance::HandOver;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer : HandOver::NoWindow;
    // Checked before a byte is written: another user's socket gets nothing.
    if (!peerIsThisUser(socket.socketDescriptor()))
        return HandOver::NotOurs;
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

Expected<QString, FolderFailure> socketPlace()
{
    const QString override = qEnvironmentVariable("VEXA_HELPER_INSTANCE_SOCKET");
    if (!override.isEmpty())
        return override;
    const QString uid = QString::number(::getuid());
    // The runtime folder is the user's alone by rule, but checked all the same.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return placeIn(runtime, false, QStringLiteral("vexa-helper-%1.socket").arg(uid));
    // The temporary folder is everybody's: a folder of our own inside it.
    return placeIn(QDir(QDir::tempPath()).filePath(QStringLiteral("vexa-helper-%1").arg(uid)), true,
                   QStringLiteral("window.socket"));
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
    // mode is set after listening instead, and clients are checked anyway.
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
}

Expected<void, Failure<InstanceServer::ListenProblem>> InstanceServer::listen(const QString &path)
{
    if (listenPrivately(path))
        return {};
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return unexpected(ListenProblem::Failed, m_server->errorString());
    // Taken only when nobody answers there: a crashed run's leftover.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return unexpected(ListenProblem::Answering, m_server->errorString());
    }
    QLocalServer::removeServer(path);
    if (listenPrivately(path))
        return {};
    return unexpected(ListenProblem::Failed, m_server->errorString());
}

bool InstanceServer::listenPrivately(const QString &path)
{
    if (!m_server->listen(path))
        return false;
    // Not left to the umask.
    ::chmod(QFile::encodeName(m_server->fullServerName()).constData(), S_IRUSR | S_IWUSR);
    return true;
}

void InstanceServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
