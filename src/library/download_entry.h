// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_request.h"
#include "download/download_result.h"
#include "download/sound_tags.h"

#include <QDateTime>
#include <QString>

#include <optional>

enum class DownloadState { Queued, Running, Paused, Done, Failed, Cancelled };

// "queued", "running", "paused", "done", "failed", "cancelled": how the
// database and `history --json` store a state.
QString downloadStateName(DownloadState state);
std::optional<DownloadState> downloadStateFromName(QStringView name);
// How a state reads for people, in the window and in `history` alike.
QString downloadStateText(DownloadState state);

// One download as the history keeps it: what it is of, where it goes, how
// far it got. Everything a later run needs to continue it is here.
struct DownloadEntry
{
    qint64 id = 0; // 0 until stored
    QString soundId;
    QString pageAddress;
    QString name;
    QString singer;
    QString fileUrl;
    QString folder;    // where it is to go
    QString fileName;  // the wanted name, before a taken one gets its " (n)"
    QString savedPath; // the saved file, once done
    QString partPath;  // the part file while it is being fetched or paused
    qint64 size = -1;  // the whole file's bytes, -1 while unknown
    qint64 bytesDone = 0;
    DownloadState state = DownloadState::Queued;
    QString error; // one line for people, when failed
    QDateTime created;
    QDateTime started; // invalid until it first ran
    QDateTime ended;   // invalid until done, failed or cancelled
    // The tags to write (without the cover, fetched from coverUrl again); none when untagged.
    std::optional<SoundTags> tags;
    QString coverUrl;

    bool operator==(const DownloadEntry &other) const = default;
};

// What a row is called: the sound's name, or, for a sound that could not
// be analysed, its page address.
QString entryTitle(const DownloadEntry &entry);

// The download that fetches the entry's file (stall time-out and retries as
// the request's defaults).
DownloadRequest downloadRequestOf(const DownloadEntry &entry);

// The tags as one JSON text for the database, and back; the cover is left out.
QByteArray tagsText(const std::optional<SoundTags> &tags);
std::optional<SoundTags> tagsFromText(const QByteArray &text);
