// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/sound_tags.h"
#include "net/network_access.h"

#include <QString>

#include <chrono>
#include <optional>
#include <vector>

// What a download is asked to do.
struct DownloadRequest
{
    QString fileUrl;  // http or https only
    QString folder;   // created when missing
    QString fileName; // wanted name; made safe again and numbered on collision
    // The sound the file is of, when known: a part file left by an earlier
    // download of it is continued even when fileUrl has been signed anew.
    QString soundId;
    // Tags written into the file before it gets its name, when wanted; the
    // cover is fetched from coverUrl meanwhile.
    std::optional<SoundTags> tags;
    QString coverUrl;
    std::chrono::milliseconds stallTimeout = DefaultStallTimeout;
    // Fewer than minimumSpeed bytes a second over a speed window is a stall
    // too, or a server dripping bytes would hold the download for ever. A
    // zero window is twice the stall time-out; a zero speed checks nothing.
    qint64 minimumSpeed = 1024;
    std::chrono::milliseconds speedWindow{0};
    // A body of unannounced length fails past this, before it fills the disk.
    qint64 maxUnsizedBytes = qint64(2) * 1024 * 1024 * 1024;
    // The pause before each retry after a dropped connection; as many
    // retries as pauses.
    std::vector<std::chrono::milliseconds> retryDelays = {std::chrono::milliseconds(500),
                                                          std::chrono::seconds(1), std::chrono::seconds(2)};
};
