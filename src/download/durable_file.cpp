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
Expected<void, FileFailure> syncData(int fd, const QString &path)
{
    if (traced(::fdatasync(fd), "fdatasync", path) != 0 && errno != EINVAL)
        return fileFailure(path);
    return {};
}

// The folder's entries as they are now survive a power cut: a rename or
// removal is not durable until its folder is synced.
Expected<void, FileFailure> syncFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fileFailure(folder);
    Expected<void, FileFailure> synced;
    if (traced(::fsync(fd), "fsync", folder) != 0 && errno != EINVAL)
        synced = fileFailure(folder);
    ::close(fd);
    return synced;
}

// Replaces path's content in one step: written beside it, synced, renamed,
// and the rename made durable, so after a power cut path holds either the
// old content or the new, never an empty or partial file.
Expected<void, FileFailure> writeFileAtomically(const QString &path, const QByteArray &content)
{
    const QString temporary = path + QStringLiteral(".new");
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return fileFailure(temporary);
    const ssize_t written = ::write(fd, content.constData(), size_t(content.size()));
    Expected<void, FileFailure> done;
    if (written != content.size())
        done = fileFailure(temporary, written < 0 ? errno : ENOSPC);
    else
        done = syncData(fd, temporary);
    if (::close(fd) != 0 && done)
        done = fileFailure(temporary);
    if (done && traced(::rename(name.constData(), QFile::encodeName(path).constData()), "rename", temporary,
                       path) != 0)
        done = fileFailure(path);
    if (!done) {
        ::unlink(name.constData());
        return done;
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

// Renames without ever replacing an existing file.
Expected<void, FileFailure> renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    const auto failure = [&] {
        return errno == EEXIST ? unexpected(FileProblem::NameTaken, to, EEXIST) : fileFailure(from);
    };
    if (traced(::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE),
               "rename", from, to) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return failure();
    // File systems without RENAME_NOREPLACE: link() refuses an existing target too.
    if (traced(::link(source.constData(), target.constData()), "link", from, to) != 0)
        return failure();
    removeFile(from);
    return {};
}
