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

namespace {

Unexpected<PartFailure> writeFailure(const FileFailure &failure)
{
    return unexpected(failure.reason == FileProblem::DiskFull ? DownloadError::DiskFull
                                                              : DownloadError::Write,
                      QCoreApplication::translate("SoundDownload", "无法写入 %1：%2")
                          .arg(failure.detail, fileFailureText(failure)),
                      failure.code);
}

} // namespace

Expected<void, PartFailure> DownloadPart::reserve(const DownloadRequest &request)
{
    m_owner = {request.fileUrl, request.soundId};
    const QString folder = request.folder.isEmpty() ? QDir::currentPath() : request.folder;
    // The wanted name may lead into subfolders, made inside the folder.
    const QFileInfo wanted(QDir(folder).filePath(downloadFileName(request.fileName, request.fileUrl)));
    const QString name = wanted.fileName();
    const QDir dir = wanted.dir();
    if (!QDir().mkpath(dir.path()))
        return unexpected(DownloadError::Folder,
                          QCoreApplication::translate("SoundDownload", "无法创建文件夹 %1").arg(dir.path()));
    const Expected<PartClaim, FileFailure> claim = claimFreePart(m_file, dir.filePath(name), m_owner);
    if (!claim && claim.error().reason == FileProblem::Busy)
        return unexpected(DownloadError::Folder,
                          QCoreApplication::translate("SoundDownload", "在 %2 中找不到可用于 %1 的文件名")
                              .arg(name, dir.path()));
    if (!claim)
        return unexpected(claim.error().reason == FileProblem::DiskFull ? DownloadError::DiskFull
                                                                        : DownloadError::Folder,
                          QCoreApplication::translate("SoundDownload", "无法在 %1 中写入：%2")
                              .arg(dir.path(), fileFailureText(claim.error())),
                          claim.error().code);
    m_finalPath = claim->finalPath;
    if (claim->info && m_file.continueAtEnd()) {
        m_validator = claim->info->validator;
        m_total = claim->info->total;
        m_frontRoom = claim->info->frontRoom;
        m_received = m_file.size() - m_frontRoom;
        m_infoSaved = true;
        return {};
    }
    return startAgain();
}

Expected<void, PartFailure> DownloadPart::startAgain()
{
    m_infoSaved = false;
    m_validator.clear();
    m_frontRoom = 0;
    m_received = 0;
    if (const Expected<void, FileFailure> emptied = m_file.startAgain(); !emptied)
        return writeFailure(emptied.error());
    return {};
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
    m_infoSaved =
        m_file.saveInfo({m_owner.fileUrl, m_validator, m_total, m_frontRoom, m_owner.soundId}).has_value();
}

bool DownloadPart::isContinuable() const
{
    return m_file.isOpen() && infoSaved() && partIsShort(m_received, m_total);
}

Expected<void, PartFailure> DownloadPart::append(const char *data, qint64 size)
{
    if (const Expected<void, FileFailure> written = m_file.append(data, size); !written)
        return writeFailure(written.error());
    m_received += size;
    return {};
}

Expected<void, PartFailure> DownloadPart::leaveFrontRoom(const QByteArray &room)
{
    // The info never describes bytes it does not match: gone while the
    // room is written, saved again with its size.
    forgetInfo();
    if (const Expected<void, FileFailure> written = m_file.append(room.constData(), room.size()); !written)
        return writeFailure(written.error());
    m_frontRoom = room.size();
    saveInfo();
    return {};
}

Expected<void, PartFailure> DownloadPart::dropFrontRoom()
{
    if (const Expected<void, FileFailure> dropped = m_file.dropFront(m_frontRoom); !dropped)
        return writeFailure(dropped.error());
    m_frontRoom = 0;
    return {};
}

void DownloadPart::forgetInfo()
{
    m_file.forgetInfo();
    m_infoSaved = false;
}

Expected<void, PartFailure> DownloadPart::sync()
{
    if (const Expected<void, FileFailure> synced = m_file.sync(); !synced)
        return writeFailure(synced.error());
    return {};
}

QFuture<Expected<void, PartFailure>> DownloadPart::writeThrough(bool dropRoom)
{
    return QtConcurrent::run([this, dropRoom]() -> Expected<void, PartFailure> {
        if (dropRoom) {
            if (Expected<void, PartFailure> dropped = dropFrontRoom(); !dropped)
                return dropped;
        }
        return sync();
    });
}

Expected<void, PartFailure> DownloadPart::moveToFinalName()
{
    // Someone may have taken the name meanwhile: move on, never overwrite.
    const Expected<QString, FileFailure> moved = moveToFreeName(m_file, m_finalPath);
    if (moved) {
        m_finalPath = *moved;
        return {};
    }
    if (moved.error().reason == FileProblem::NameTaken)
        return unexpected(
            DownloadError::Write,
            QCoreApplication::translate("SoundDownload", "找不到可用于 %1 的文件名").arg(m_finalPath));
    return unexpected(DownloadError::Write,
                      QCoreApplication::translate("SoundDownload", "无法重命名 %1：%2")
                          .arg(m_file.path(), fileFailureText(moved.error())),
                      moved.error().code);
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
