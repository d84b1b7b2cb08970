// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// One sound's record as the window shows it and the command line prints it.
struct SoundInfo
{
    QString soundId; // from the page address; the answer's own id is not read
    QString coverUrl;
    QString fileUrl; // without its query string
    QString soundName;
    QString singer; // spaces removed
    QString shortName;
    QString shortSinger;
    // Counts as the answer writes them: play and fan counts keep any quotation
    // marks, the share count loses them.
    QString playCount;
    QString fanCount;
    QString shareCount;
    QString createTime; // seconds, quotation marks removed
    QString publishTime;
    QString infoText; // the introduction, every line break as "\r\n"

    bool operator==(const SoundInfo &other) const = default;
};
