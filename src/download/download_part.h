// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_request.h"
#include "download/download_result.h"
#include "download/download_resume.h"
#include "download/part_file.h"

#include <QByteArray>
#include <QFuture>
#include <QString>

// A download's part file and what continuing it takes: claimed beside a free
// final name, continued when an earlier download of the same sound left it
// there, its info saved for a later download, started again, given room for
// the tags, and moved to its final name once whole.

// A failed step on the part as the download reports it: the error the
// file's reason means there, and the line for people its result carries.
using PartFailure = Failure<DownloadError>;

class DownloadPart
{
public:
    DownloadPart() = default;
    DownloadPart(const DownloadPart &) = delete;
    DownloadPart &operator=(const DownloadPart &) = delete;

    // Claims "NAME.part" for the request's wanted name in its folder (made
    // when missing), or for the first numbered choice that is free.
    Expected<void, PartFailure> reserve(const DownloadRequest &request);

    const QString &finalPath() const { return m_finalPath; }
    // Empty while no part is held.
    QString path() const { return m_file.path(); }
    qint64 received() const { return m_received; } // body bytes, not the room before them
    qint64 total() const { return m_total; }       // -1 while unknown
    qint64 frontRoom() const { return m_frontRoom; }
    const QByteArray &validator() const { return m_validator; }
    void setTotal(qint64 total) { m_total = total; }

    // Empty again, for a body from its first byte; nothing to continue from.
    Expected<void, PartFailure> startAgain();
    // What the whole body coming is; its info is saved when it can be continued.
    void describe(qint64 total, QByteArray validator);
    // Whether a retry may continue it: its info is on the disk.
    bool infoSaved() const { return m_infoSaved && m_file.infoWritten().has_value(); }
    bool isContinuable() const;

    Expected<void, PartFailure> append(const char *data, qint64 size);
    // room written before the body's first bytes, for the tags to fill.
    Expected<void, PartFailure> leaveFrontRoom(const QByteArray &room);
    // The room taken out again, for a file saved untagged.
    Expected<void, PartFailure> dropFrontRoom();
    // No later download continues it: it is about to be changed in place.
    void forgetInfo();

    // Written through to the disk.
    Expected<void, PartFailure> sync();
    // The room taken out (dropRoom) and the part written through, on a
    // thread of the pool: a big file's sync, or the copy a file system
    // without FALLOC_FL_COLLAPSE_RANGE needs, takes its time. Nothing else
    // may use the part until the future is finished.
    QFuture<Expected<void, PartFailure>> writeThrough(bool dropRoom);
    // Renamed to the final name or, should that have been taken meanwhile,
    // the next free numbered one, which finalPath() then tells.
    Expected<void, PartFailure> moveToFinalName();
    // Left on the disk for a later download; returns its path.
    QString keep();
    void remove();

private:
    void saveInfo();

    PartFile m_file;
    PartOwner m_owner;
    QString m_finalPath;
    QByteArray m_validator;
    qint64 m_total = -1;
    qint64 m_frontRoom = 0; // bytes before the body, kept for the tags
    qint64 m_received = 0;
    bool m_infoSaved = false;
};
