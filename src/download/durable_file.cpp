// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/durable_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

PartFileTrace partFileTrace;

} // namespace

void setPartFileTrace(PartFileTrace trace)
{
    partFileTrace = std::move(trace);
}

namespace {

// result, passed on; a call that worked is told to the trace.
int traced(int result, const char *call, const QString &path, const QString &to = {})
{
    if (result == 0 && partFileTrace)
        partFileTrace(QString::fromLatin1(call) + u' ' + path + (to.isEmpty() ? QString() : u' ' + to));
    return result;
}

} // namespace

// Written through to the disk; file systems that cannot sync (EINVAL) have nothing to wait for.
bool syncData(int fd, const QString &path)
{
    return traced(::fdatasync(fd), "fdatasync", path) == 0 || errno == EINVAL;
}

// The folder's entries as they are now survive a power cut: a rename or
// removal is not durable until its folder is synced.
bool syncFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = traced(::fsync(fd), "fsync", folder) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

// Replaces path's content in one step: written beside it, synced, renamed,
// and the rename made durable, so after a power cut path holds either the
// old content or the new, never an empty or partial file.
bool writeFileAtomically(const QString &path, const QByteArray &content)
{
    const QString temporary = path + QStringLiteral(".new");
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, content.constData(), size_t(content.size())) == content.size() && syncData(fd, temporary);
    if (::close(fd) != 0 || !written ||
        traced(::rename(name.constData(), QFile::encodeName(path).constData()), "rename", temporary, path) !=
            0) {
        ::unlink(name.constData());
        return false;
    }
    return syncFolderOf(path);
}

// True when there was something to remove.
bool removeFile(const QString &path)
{
    return traced(::unlink(QFile::encodeName(path).constData()), "unlink", path) == 0;
}

// Removes the part's info for good before its bytes change: info that came
// back after a power cut would describe bytes it does not match.
void removeInfoDurably(const QString &infoPath)
{
    if (removeFile(infoPath))
        syncFolderOf(infoPath);
}

// Renames without ever replacing an existing file; false with errno set.
bool renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (traced(::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE),
               "rename", from, to) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: link() refuses an existing target too.
    if (traced(::link(source.constData(), target.constData()), "link", from, to) != 0)
        return false;
    removeFile(from);
    return true;
}
