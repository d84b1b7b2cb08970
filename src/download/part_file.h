// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_resume.h"
#include "download/durable_file.h" // setPartFileTrace

#include <QString>

#include <cerrno>
#include <functional>
#include <future>
#include <optional>

// True when anything has the name, even a dangling link.
bool pathExists(const QString &path);

// The "NAME.part" a download writes before the body is whole, locked so that
// one download at a time writes it, with its info beside it in
// "NAME.part.meta". Owns its descriptor: closed exactly once, by remove(),
// close(), a move into place or the destructor, which keeps the files.
// Failures leave errno in error().
class PartFile
{
public:
    enum class Claim {
        Taken,  // opened and locked, created when missing
        Busy,   // another download writes it, or it is not ours to write
        Failed, // it cannot be created or locked
    };
    enum class Move {
        Moved,     // under the new name, and closed
        NameTaken, // something has the name already: try another
        Failed,
    };

    PartFile() = default;
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    static QString pathFor(const QString &finalPath);

    // Closes whatever was held first.
    Claim claim(const QString &path);
    bool isOpen() const { return m_fd >= 0; }
    const QString &path() const { return m_path; } // empty when not open
    // Created by the last claim rather than found there.
    bool madeByClaim() const { return m_made; }
    qint64 size() const; // 0 when unknown

    std::optional<PartInfo> readInfo() const;
    // Starts writing the info in the background: the part's bytes written
    // so far synced first, then the info written beside it, synced, renamed
    // into place and its folder synced. False when nothing was started.
    bool saveInfo(const PartInfo &info);
    // Waits for the info being written; false when that failed. Every
    // other change to the files waits for it too.
    bool infoWritten() const;

    // Writes go on after the bytes already there.
    bool continueAtEnd();
    // Empties the part; its info goes first, as it must never describe
    // bytes it does not match.
    bool startAgain();
    bool append(const char *data, qint64 size);
    // Written through to the disk.
    bool sync();
    // Renamed to target, never replacing anything there, and closed; the
    // folder is synced in the background until close() or the destructor.
    // Sync the bytes first.
    Move moveTo(const QString &target);
    // The first bytes taken out, the rest moved to the front; writes go on
    // at the new end.
    bool dropFront(qint64 bytes);
    // The info goes, so the part is started afresh rather than continued.
    void forgetInfo();
    // The part and its info deleted, while still locked so that no other
    // download has taken them meanwhile.
    void remove();
    // Kept on disk for a later download.
    void close();

    int error() const { return m_error; }
    bool diskFull() const; // no space, or over the file-size limit
    QString errorText() const;

private:
    bool failed(int error = errno);

    int m_fd = -1;
    bool m_made = false;
    mutable std::future<bool> m_infoWrite;
    mutable bool m_infoWriteOk = true;
    std::future<void> m_folderSync;
    QString m_path;
    qint64 m_written = 0;   // bytes in the file, as far as we wrote them
    qint64 m_writeBack = 0; // disk writes started up to here
    int m_error = 0;
};

// Moves the part to wantedPath, or else to the first free numbered choice
// of it (" (1)", …), never replacing anything; wantedPath becomes the name
// it got. NameTaken when every choice is taken.
PartFile::Move moveToFreeName(PartFile &part, QString &wantedPath);

// The part of the first numbered choice of wantedPath whose final name is
// free and whose part is new or owner's, claimed by part. Busy when every
// choice is taken.
struct PartClaim
{
    PartFile::Claim state = PartFile::Claim::Busy;
    QString finalPath;
    std::optional<PartInfo> info; // when the part can be continued
};
PartClaim claimFreePart(PartFile &part, const QString &wantedPath, const PartOwner &owner);
