// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A download's part file: claimed under a free name, started again or
// continued, given room for the tags, tagged, and saved under its final name.
#include "download/sound_download.h"

#include "download/sound_tagging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

bool SoundDownload::reserveFile()
{
    const QString folder = m_request.folder.isEmpty() ? QDir::currentPath() : m_request.folder;
    // The wanted name may lead into subfolders, made inside the folder.
    const QFileInfo wanted(QDir(folder).filePath(downloadFileName(m_request.fileName, m_request.fileUrl)));
    const QString name = wanted.fileName();
    const QDir dir = wanted.dir();
    if (!QDir().mkpath(dir.path())) {
        fail(DownloadError::Folder,
             QCoreApplication::translate("SoundDownload", "无法创建文件夹 %1").arg(dir.path()));
        return false;
    }
    const PartClaim claim = claimFreePart(m_part, dir.filePath(name), m_request.fileUrl);
    if (claim.state == PartFile::Claim::Failed) {
        fail(m_part.diskFull() ? DownloadError::DiskFull : DownloadError::Folder,
             QCoreApplication::translate("SoundDownload", "无法在 %1 中写入：%2")
                 .arg(dir.path(), m_part.errorText()));
        return false;
    }
    if (claim.state == PartFile::Claim::Busy) {
        fail(DownloadError::Folder,
             QCoreApplication::translate("SoundDownload", "在 %2 中找不到可用于 %1 的文件名")
                 .arg(name, dir.path()));
        return false;
    }
    m_finalPath = claim.finalPath;
    if (claim.info && m_part.continueAtEnd()) {
        m_validator = claim.info->validator;
        m_total = claim.info->total;
        m_frontRoom = claim.info->frontRoom;
        m_received = m_resumedFrom = m_part.size() - m_frontRoom;
        m_partInfoSaved = true;
    } else {
        restartFromZero();
    }
    return true;
}

void SoundDownload::restartFromZero()
{
    m_partInfoSaved = false;
    m_validator.clear();
    m_frontRoom = 0;
    if (!m_part.startAgain()) {
        failWriting();
        return;
    }
    if (m_received != 0) {
        m_received = 0;
        emit progress(m_received, m_total);
    }
}

void SoundDownload::savePartInfo()
{
    if (m_validator.isEmpty())
        return;
    m_partInfoSaved = m_part.saveInfo({m_request.fileUrl, m_validator, m_total, m_frontRoom});
}

bool SoundDownload::partIsContinuable() const
{
    return m_part.isOpen() && m_partInfoSaved && m_part.infoWritten() && partIsShort(m_received, m_total);
}

void SoundDownload::onTagged(const TagOutcome &outcome)
{
    if (!outcome.written) {
        m_result.untagged = outcome.detail;
        // Saved as it came: the room goes again.
        if (!m_part.dropFront(m_frontRoom)) {
            failWriting();
            return;
        }
    }
    save();
}

bool SoundDownload::leaveFrontRoom(const QByteArray &head)
{
    if (!m_tagging || m_frontRoom > 0)
        return true;
    const qint64 room = m_tagging->frontRoomFor(head);
    if (room == 0)
        return true;
    // The info never describes bytes it does not match: gone while the
    // room is written, saved again with its size.
    m_part.forgetInfo();
    if (!m_part.append(emptyId3Tag(room, m_request.tags->id3Version).constData(), room)) {
        failWriting();
        return false;
    }
    m_frontRoom = room;
    savePartInfo();
    return true;
}

void SoundDownload::save()
{
    // Written through, tags and all, before the name says the file is whole.
    if (!m_part.sync()) {
        failWriting();
        return;
    }
    if (!commit())
        return;
    m_result.bytes = m_received;
    m_result.filePath = m_finalPath;
    m_running = false;
    cleanUp(false);
    announceEnd();
}

bool SoundDownload::commit()
{
    // Someone may have taken the name meanwhile: move on, never overwrite.
    switch (moveToFreeName(m_part, m_finalPath)) {
    case PartFile::Move::Moved:
        return true;
    case PartFile::Move::NameTaken:
        fail(DownloadError::Write,
             QCoreApplication::translate("SoundDownload", "找不到可用于 %1 的文件名").arg(m_finalPath));
        return false;
    case PartFile::Move::Failed:
        break;
    }
    fail(DownloadError::Write, QCoreApplication::translate("SoundDownload", "无法重命名 %1：%2")
                                   .arg(m_part.path(), m_part.errorText()));
    return false;
}

void SoundDownload::failWriting()
{
    fail(m_part.diskFull() ? DownloadError::DiskFull : DownloadError::Write,
         QCoreApplication::translate("SoundDownload", "无法写入 %1：%2")
             .arg(m_part.path(), m_part.errorText()));
}

void SoundDownload::cleanUp(bool keepPart)
{
    m_retryTimer->stop();
    dropReply();
    if (keepPart) {
        // Its info trusts its length: what it holds is on the disk before it is left.
        m_part.sync();
        m_result.partPath = m_part.path();
        m_part.close();
    } else {
        m_part.remove();
    }
}
