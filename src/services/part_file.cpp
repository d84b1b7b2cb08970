// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "services/part_file.h"

#include "services/download_file_name.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const QString PartSuffix = QStringLiteral(".part");
const QString InfoSuffix = QStringLiteral(".meta");
constexpr qint64 MaxPartInfoBytes = 16 * 1024;
// Disk writes are started in steps this big while the body arrives.
constexpr qint64 WriteBackStep = 8 * 1024 * 1024;

// Reads a whole small file; nullopt when missing, unreadable or too big.
std::optional<QByteArray> readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPartInfoBytes)
        return std::nullopt;
    return file.readAll();
}

// Replaces path's content in one step: written beside it, then renamed.
bool writeFileAtomically(const QString &path, const QByteArray &content)
{
    const QString temporary = path + QStringLiteral(".new");
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    if (::close(fd) != 0 || !written ||
        ::rename(name.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(name.constData());
        return false;
    }
    return true;
}

void removeFile(const QString &path)
{
    ::unlink(QFile::encodeName(path).constData());
}

// Renames without ever replacing an existing file; false with errno set.
bool renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: link() refuses an existing target too.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
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

PartFile::Claim PartFile::claim(const QString &path)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    // A few rounds: another download may rename or remove it between our open and lock.
    for (int round = 0; round < 8; ++round) {
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (m_fd < 0) {
            // Not ours to write (a link, a folder, someone else's file): try the next name.
            m_error = errno;
            const bool notOurs = m_error == ELOOP || m_error == EISDIR || m_error == ENXIO ||
                                 ((m_error == EACCES || m_error == EPERM) && pathExists(path));
            return notOurs ? Claim::Busy : Claim::Failed;
        }
        // One writer per part file: a download already writing it holds the lock.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            failed();
            close();
            return m_error == EWOULDBLOCK ? Claim::Busy : Claim::Failed;
        }
        struct stat opened;
        struct stat named;
        const bool same = ::fstat(m_fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0 &&
                          opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
        if (same && S_ISREG(opened.st_mode)) {
            m_path = path;
            m_written = m_writeBack = 0;
            return Claim::Taken;
        }
        close();
        if (same)
            return Claim::Busy; // not a regular file: leave it alone
    }
    return Claim::Busy;
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
    const std::optional<QByteArray> text = readSmallFile(m_path + InfoSuffix);
    return text ? parsePartInfo(*text) : std::nullopt;
}

bool PartFile::saveInfo(const PartInfo &info)
{
    return isOpen() && writeFileAtomically(m_path + InfoSuffix, partInfoText(info));
}

bool PartFile::continueAtEnd()
{
    const qint64 end = size();
    if (!isOpen())
        return failed(EBADF);
    if (::lseek(m_fd, end, SEEK_SET) != end)
        return failed();
    m_written = m_writeBack = end;
    return true;
}

bool PartFile::startAgain()
{
    if (!isOpen())
        return failed(EBADF);
    removeFile(m_path + InfoSuffix);
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        return failed();
    m_written = m_writeBack = 0;
    return true;
}

bool PartFile::append(const char *data, qint64 size)
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
    return true;
}

bool PartFile::sync()
{
    if (!isOpen())
        return failed(EBADF);
    if (::fdatasync(m_fd) != 0 && errno != EINVAL)
        return failed();
    return true;
}

PartFile::Move PartFile::moveTo(const QString &target)
{
    if (!isOpen()) {
        failed(EBADF);
        return Move::Failed;
    }
    if (!renameNoReplace(m_path, target)) {
        failed();
        return m_error == EEXIST ? Move::NameTaken : Move::Failed;
    }
    removeFile(m_path + InfoSuffix);
    close();
    return Move::Moved;
}

bool PartFile::dropFront(qint64 bytes)
{
    if (!isOpen())
        return failed(EBADF);
    const qint64 end = size();
    if (bytes <= 0 || bytes > end)
        return bytes == 0 || failed(EINVAL);
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
    return ::lseek(m_fd, m_written, SEEK_SET) == m_written || failed();
}

void PartFile::forgetInfo()
{
    if (isOpen())
        removeFile(m_path + InfoSuffix);
}

void PartFile::remove()
{
    if (!isOpen())
        return;
    removeFile(m_path + InfoSuffix);
    removeFile(m_path);
    close();
}

void PartFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

bool PartFile::diskFull() const
{
    return m_error == ENOSPC || m_error == EDQUOT || m_error == EFBIG;
}

QString PartFile::errorText() const
{
    return QString::fromLocal8Bit(std::strerror(m_error));
}

bool PartFile::failed(int error)
{
    m_error = error;
    return false;
}

PartFile::Move moveToFreeName(PartFile &part, QString &wantedPath)
{
    const QFileInfo wanted(wantedPath);
    const QString name = wanted.fileName();
    for (int n = 0; n <= MaxFileNumber; ++n) {
        const QString target = wanted.dir().filePath(fileNameChoice(name, n));
        const PartFile::Move move = part.moveTo(target);
        if (move == PartFile::Move::Moved)
            wantedPath = target;
        if (move != PartFile::Move::NameTaken)
            return move;
    }
    return PartFile::Move::NameTaken;
}

PartClaim claimFreePart(PartFile &part, const QString &wantedPath, const QString &fileUrl)
{
    const QFileInfo wanted(wantedPath);
    for (int n = 0; n <= MaxFileNumber; ++n) {
        const QString finalPath = wanted.dir().filePath(fileNameChoice(wanted.fileName(), n));
        // A final name is free only while nobody else is writing towards it.
        if (pathExists(finalPath))
            continue;
        const PartFile::Claim claim = part.claim(PartFile::pathFor(finalPath));
        if (claim == PartFile::Claim::Failed)
            return {claim, {}, {}};
        if (claim == PartFile::Claim::Busy)
            continue;
        std::optional<PartInfo> info = part.readInfo();
        const PartUse use = partUse(part.size(), info, fileUrl);
        if (use == PartUse::NotOurs) {
            part.close(); // kept for its own later download
            continue;
        }
        if (use != PartUse::Continue)
            info.reset();
        return {claim, finalPath, info};
    }
    return {};
}
