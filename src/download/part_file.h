// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_resume.h"
#include "download/durable_file.h" // setPartFileTrace
#include "download/file_failure.h"

#include <QString>

#include <functional>
#include <future>
#include <optional>

// True when anything has the name, even a dangling link.
bool pathExists(const QString &path);

// The "NAME.part" a download writes before the body is whole, locked so that
// one download at a time writes it, with its info beside it in
// "NAME.part.meta". Owns its descriptor: closed exactly once, by remove(),
// close(), a move into place or the destructor, which keeps the files.
// A failure's detail is the part (or the name in the way), its code errno.
class PartFile
{
public:
    PartFile() = default;
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    static QString pathFor(const QString &finalPath);

    // Opened and locked, created when missing; closes whatever was held
    // first. Busy when another download writes it, or it is not ours to write.
    Expected<void, FileFailure> claim(const QString &path);
    bool isOpen() const { return m_fd >= 0; }
    const QString &path() const { return m_path; } // empty when not open
    // Created by the last claim rather than found there.
    bool madeByClaim() const { return m_made; }
    qint64 size() const; // 0 when unknown

    std::optional<PartInfo> readInfo() const;
    // Starts writing the info in the background: the part's bytes written
    // so far synced first, then the info written beside it, synced, renamed
    // into place and its folder synced. A failure when nothing was started.
    Expected<void, FileFailure> saveInfo(const PartInfo &info);
    // Waits for the info being written, and tells how that went. Every
    // other change to the files waits for it too.
    Expected<void, FileFailure> infoWritten() const;

    // Writes go on after the bytes already there.
    Expected<void, FileFailure> continueAtEnd();
    // Empties the part; its info goes first, as it must never describe
    // bytes it does not match.
    Expected<void, FileFailure> startAgain();
    Expected<void, FileFailure> append(const char *data, qint64 size);
    // Written through to the disk.
    Expected<void, FileFailure> sync();
    // Renamed to target, never replacing anything there (NameTaken: try
    // another), and closed; the folder is synced in the background until
    // close() or the destructor. Sync the bytes first.
    Expected<void, FileFailure> moveTo(const QString &target);
    // The first bytes taken out, the rest moved to the front; writes go on
    // at the new end.
    Expected<void, FileFailure> dropFront(qint64 bytes);
    // The info goes, so the part is started afresh rather than continued.
    void forgetInfo();
    // The part and its info deleted, while still locked so that no other
    // download has taken them meanwhile.
    void remove();
    // Kept on disk for a later download.
    void close();

private:
    Unexpected<FileFailure> failed(int error = errno) const { return fileFailure(m_path, error); }

    int m_fd = -1;
    bool m_made = false;
    mutable std::future<Expected<void, FileFailure>> m_infoWrite;
    mutable Expected<void, FileFailure> m_infoWritten;
    std::future<void> m_folderSync;
    QString m_path;
    qint64 m_written = 0;   // bytes in the file, as far as we wrote them
    qint64 m_writeBack = 0; // disk writes started up to here
};

// Moves the part to wantedPath, or else to the first free numbered choice
// of it (" (1)", …), never replacing anything; returns the name it got.
// NameTaken, with wantedPath, when every choice is taken.
Expected<QString, FileFailure> moveToFreeName(PartFile &part, const QString &wantedPath);

// The part of the first numbered choice of wantedPath whose final name is
// free and whose part is new or owner's, claimed by part. Busy, with
// wantedPath, when every choice is taken.
struct PartClaim
{
    QString finalPath;
    std::optional<PartInfo> info; // when the part can be continued
};
Expected<PartClaim, FileFailure> claimFreePart(PartFile &part, const QString &wantedPath,
                                               const PartOwner &owner);
