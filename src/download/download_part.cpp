// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_part.h"

#include "download/download_file_name.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtConcurrentRun>

// The failure lines are the details of a SoundDownload's result, and are
// translated as its own.

bool DownloadPart::reserve(const DownloadRequest &request)
{
    m_owner = {request.fileUrl, request.soundId};
    const QString folder = request.folder.isEmpty() ? QDir::currentPath() : request.folder;
    // The wanted name may lead into subfolders, made inside the folder.
    const QFileInfo wanted(QDir(folder).filePath(downloadFileName(request.fileName, request.fileUrl)));
    const QString name = wanted.fileName();
    const QDir dir = wanted.dir();
    if (!QDir().mkpath(dir.path()))
        return failed(DownloadError::Folder,
                      QCoreApplication::translate("SoundDownload", "无法创建文件夹 %1").arg(dir.path()));
    const PartClaim claim = claimFreePart(m_file, dir.filePath(name), m_owner);
    if (claim.state == PartFile::Claim::Failed)
        return failed(m_file.diskFull() ? DownloadError::DiskFull : DownloadError::Folder,
                      QCoreApplication::translate("SoundDownload", "无法在 %1 中写入：%2")
                          .arg(dir.path(), m_file.errorText()));
    if (claim.state == PartFile::Claim::Busy)
        return failed(DownloadError::Folder,
                      QCoreApplication::translate("SoundDownload", "在 %2 中找不到可用于 %1 的文件名")
                          .arg(name, dir.path()));
    m_finalPath = claim.finalPath;
    if (claim.info && m_file.continueAtEnd()) {
        m_validator = claim.info->validator;
        m_total = claim.info->total;
        m_frontRoom = claim.info->frontRoom;
        m_received = m_file.size() - m_frontRoom;
        m_infoSaved = true;
        return true;
    }
    return startAgain();
}

bool DownloadPart::startAgain()
{
    m_infoSaved = false;
    m_validator.clear();
    m_frontRoom = 0;
    m_received = 0;
    return m_file.startAgain() || failedWriting();
}

void DownloadPart::describe(qint64 total, QByteArray validator)
{
    m_total = total;
    m_validator = std::move(validator);
    saveInfo();
}

void DownloadPart::saveInfo()
{
    // Without a validator a range could splice two versions: nothing to save.
    if (m_validator.isEmpty())
        return;
    m_infoSaved = m_file.saveInfo({m_owner.fileUrl, m_validator, m_total, m_frontRoom, m_owner.soundId});
}

bool DownloadPart::isContinuable() const
{
    return m_file.isOpen() && infoSaved() && partIsShort(m_received, m_total);
}

bool DownloadPart::append(const char *data, qint64 size)
{
    if (!m_file.append(data, size))
        return failedWriting();
    m_received += size;
    return true;
}

bool DownloadPart::leaveFrontRoom(const QByteArray &room)
{
    // The info never describes bytes it does not match: gone while the
    // room is written, saved again with its size.
    forgetInfo();
    if (!m_file.append(room.constData(), room.size()))
        return failedWriting();
    m_frontRoom = room.size();
    saveInfo();
    return true;
}

bool DownloadPart::dropFrontRoom()
{
    if (!m_file.dropFront(m_frontRoom))
        return failedWriting();
    m_frontRoom = 0;
    return true;
}

void DownloadPart::forgetInfo()
{
    m_file.forgetInfo();
    m_infoSaved = false;
}

bool DownloadPart::sync()
{
    return m_file.sync() || failedWriting();
}

QFuture<bool> DownloadPart::writeThrough(bool dropRoom)
{
    return QtConcurrent::run([this, dropRoom] { return (!dropRoom || dropFrontRoom()) && sync(); });
}

bool DownloadPart::moveToFinalName()
{
    // Someone may have taken the name meanwhile: move on, never overwrite.
    switch (moveToFreeName(m_file, m_finalPath)) {
    case PartFile::Move::Moved:
        return true;
    case PartFile::Move::NameTaken:
        return failed(
            DownloadError::Write,
            QCoreApplication::translate("SoundDownload", "找不到可用于 %1 的文件名").arg(m_finalPath));
    case PartFile::Move::Failed:
        break;
    }
    return failed(DownloadError::Write, QCoreApplication::translate("SoundDownload", "无法重命名 %1：%2")
                                            .arg(m_file.path(), m_file.errorText()));
}

QString DownloadPart::keep()
{
    // Its info trusts its length: what it holds is on the disk before it is left.
    m_file.sync();
    const QString path = m_file.path();
    m_file.close();
    return path;
}

void DownloadPart::remove()
{
    m_file.remove();
}

bool DownloadPart::failed(DownloadError error, const QString &detail)
{
    m_failure = error;
    m_failureText = detail;
    return false;
}

bool DownloadPart::failedWriting()
{
    return failed(m_file.diskFull() ? DownloadError::DiskFull : DownloadError::Write,
                  QCoreApplication::translate("SoundDownload", "无法写入 %1：%2")
                      .arg(m_file.path(), m_file.errorText()));
}
