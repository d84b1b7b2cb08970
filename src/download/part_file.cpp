// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/part_file.h"

#include "download/download_file_name.h"
#include "download/durable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const QString PartSuffix = QStringLiteral(".part");
constexpr qint64 MaxPartInfoBytes = 16 * 1024;
// Disk writes are started in steps this big while the body arrives.
constexpr qint64 WriteBackStep = 8 * 1024 * 1024;

// In a thread of its own, or when none can be had, where its result is asked for.
constexpr std::launch Background = std::launch::async | std::launch::deferred;

// Reads a whole small file; nullopt when missing, unreadable or too big.
std::optional<QByteArray> readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPartInfoBytes)
        return std::nullopt;
    return file.readAll();
}

} // namespace

bool pathExists(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

PartFile::~PartFile()
{
    close();
}

QString PartFile::pathFor(const QString &finalPath)
{
    return finalPath + PartSuffix;
}

Expected<void, FileFailure> PartFile::claim(const QString &path)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    // A few rounds: another download may rename or remove it between our open and lock.
    for (int round = 0; round < 8; ++round) {
        // Made here, or found: a found one is another program's unless its
        // info says otherwise.
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        m_made = m_fd >= 0;
        if (m_fd < 0 && errno == EEXIST) {
            m_fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
            if (m_fd < 0 && errno == ENOENT)
                continue; // removed meanwhile
        }
        if (m_fd < 0) {
            // Not ours to write (a link, a folder, someone else's file): try the next name.
            const int error = errno;
            const bool notOurs = error == ELOOP || error == EISDIR || error == ENXIO ||
                                 ((error == EACCES || error == EPERM) && pathExists(path));
            if (notOurs)
                return unexpected(FileProblem::Busy, path, error);
            return fileFailure(path, error);
        }
        // One writer per part file: a download already writing it holds the lock.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            close();
            if (error == EWOULDBLOCK)
                return unexpected(FileProblem::Busy, path, error);
            return fileFailure(path, error);
        }
        struct stat opened;
        struct stat named;
        const bool same = ::fstat(m_fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0 &&
                          opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
        if (same && S_ISREG(opened.st_mode)) {
            m_path = path;
            m_written = m_writeBack = 0;
            return {};
        }
        close();
        if (same)
            return unexpected(FileProblem::Busy, path); // not a regular file: leave it alone
    }
    return unexpected(FileProblem::Busy, path);
}

qint64 PartFile::size() const
{
    struct stat info;
    return m_fd >= 0 && ::fstat(m_fd, &info) == 0 ? qint64(info.st_size) : 0;
}

std::optional<PartInfo> PartFile::readInfo() const
{
    if (!isOpen())
        return std::nullopt;
    const std::optional<QByteArray> text = readSmallFile(partInfoPath(m_path));
    return text ? parsePartInfo(*text) : std::nullopt;
}

Expected<void, FileFailure> PartFile::saveInfo(const PartInfo &info)
{
    infoWritten();
    if (!isOpen())
        return failed(EBADF);
    // Off the thread that receives the body, whose bytes go on arriving
    // meanwhile: the syncs cost milliseconds a fast transfer would wait for.
    // The bytes it describes are on the disk before it is; an empty part
    // has none to wait for.
    m_infoWrite = std::async(Background, [fd = m_fd, path = m_path, text = partInfoText(info),
                                          empty = size() == 0] {
        if (Expected<void, FileFailure> synced = empty ? Expected<void, FileFailure>() : syncData(fd, path);
            !synced)
            return synced;
        return writeFileAtomically(partInfoPath(path), text);
    });
    return {};
}

Expected<void, FileFailure> PartFile::infoWritten() const
{
    if (m_infoWrite.valid())
        m_infoWritten = m_infoWrite.get();
    return m_infoWritten;
}

Expected<void, FileFailure> PartFile::continueAtEnd()
{
    const qint64 end = size();
    if (!isOpen())
        return failed(EBADF);
    if (::lseek(m_fd, end, SEEK_SET) != end)
        return failed();
    m_written = m_writeBack = end;
    return {};
}

Expected<void, FileFailure> PartFile::startAgain()
{
    if (!isOpen())
        return failed(EBADF);
    forgetInfo();
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        return failed();
    m_written = m_writeBack = 0;
    return {};
}

Expected<void, FileFailure> PartFile::append(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failed(written < 0 ? errno : ENOSPC);
        data += written;
        size -= written;
        m_written += written;
    }
    // Writing what arrived starts in the background, so the sync before
    // the rename has only the tail left to wait for instead of the whole
    // file. Only a hint: a file system without it still syncs at the end.
    if (m_written - m_writeBack >= WriteBackStep) {
        ::sync_file_range(m_fd, m_writeBack, m_written - m_writeBack, SYNC_FILE_RANGE_WRITE);
        m_writeBack = m_written;
    }
    return {};
}

Expected<void, FileFailure> PartFile::sync()
{
    if (!isOpen())
        return failed(EBADF);
    return syncData(m_fd, m_path);
}

Expected<void, FileFailure> PartFile::moveTo(const QString &target)
{
    if (!isOpen())
        return failed(EBADF);
    infoWritten(); // its info goes below, not to come back after
    if (Expected<void, FileFailure> renamed = renameNoReplace(m_path, target); !renamed)
        return renamed;
    removeFile(partInfoPath(m_path));
    close();
    // The new name made durable, so a saved file stays saved; in the
    // background, as the bytes already are and the name is there to use.
    // close() and the destructor wait for it.
    m_folderSync = std::async(Background, [target] { syncFolderOf(target); });
    return {};
}

Expected<void, FileFailure> PartFile::dropFront(qint64 bytes)
{
    infoWritten();
    if (!isOpen())
        return failed(EBADF);
    const qint64 end = size();
    if (bytes == 0)
        return {};
    if (bytes < 0 || bytes > end)
        return failed(EINVAL);
    // Block-aligned, the file system takes the blocks out without moving data.
    if (::fallocate(m_fd, FALLOC_FL_COLLAPSE_RANGE, 0, bytes) != 0) {
        std::vector<char> buffer(size_t(std::min<qint64>(end - bytes, 1024 * 1024)));
        for (qint64 from = bytes; from < end;) {
            const ssize_t got = ::pread(m_fd, buffer.data(), buffer.size(), from);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return failed(got < 0 ? errno : EIO);
            if (::pwrite(m_fd, buffer.data(), size_t(got), from - bytes) != got)
                return failed();
            from += got;
        }
        if (::ftruncate(m_fd, end - bytes) != 0)
            return failed();
    }
    m_written = m_writeBack = end - bytes;
    if (::lseek(m_fd, m_written, SEEK_SET) != m_written)
        return failed();
    return {};
}

void PartFile::forgetInfo()
{
    infoWritten();
    m_infoWritten = {}; // nothing left to have failed
    if (isOpen())
        removeInfoDurably(partInfoPath(m_path));
}

void PartFile::remove()
{
    infoWritten();
    if (!isOpen())
        return;
    removeFile(partInfoPath(m_path));
    removeFile(m_path);
    close();
}

void PartFile::close()
{
    infoWritten(); // the writer uses the descriptor
    m_infoWritten = {};
    if (m_folderSync.valid())
        m_folderSync.get();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_made = false;
    m_path.clear();
}

Expected<QString, FileFailure> moveToFreeName(PartFile &part, const QString &wantedPath)
{
    const QFileInfo wanted(wantedPath);
    const QString name = wanted.fileName();
    for (int n = 0; n <= MaxFileNumber; ++n) {
        const QString target = wanted.dir().filePath(fileNameChoice(name, n));
        const Expected<void, FileFailure> moved = part.moveTo(target);
        if (moved)
            return target;
        if (moved.error().reason != FileProblem::NameTaken)
            return Unexpected(moved.error());
    }
    return unexpected(FileProblem::NameTaken, wantedPath, EEXIST);
}

Expected<PartClaim, FileFailure> claimFreePart(PartFile &part, const QString &wantedPath,
                                               const PartOwner &owner)
{
    const QFileInfo wanted(wantedPath);
    for (int n = 0; n <= MaxFileNumber; ++n) {
        const QString finalPath = wanted.dir().filePath(fileNameChoice(wanted.fileName(), n));
        // A final name is free only while nobody else is writing towards it.
        if (pathExists(finalPath))
            continue;
        const Expected<void, FileFailure> claimed = part.claim(PartFile::pathFor(finalPath));
        if (!claimed && claimed.error().reason == FileProblem::Busy)
            continue;
        if (!claimed)
            return Unexpected(claimed.error());
        std::optional<PartInfo> info = part.readInfo();
        const PartUse use = partUse(part.size(), info, owner, part.madeByClaim());
        if (use == PartUse::NotOurs) {
            part.close(); // kept for its own later download
            continue;
        }
        if (use != PartUse::Continue)
            info.reset();
        return PartClaim{finalPath, info};
    }
    return unexpected(FileProblem::Busy, wantedPath);
}
