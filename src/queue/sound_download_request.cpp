// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "queue/sound_download_request.h"

#include <QDate>
#include <QDir>
#include <QStandardPaths>

NameFields nameFieldsOf(const SoundInfo &record)
{
    return {record.singer,    record.soundName,   record.soundId, record.publishTime,
            record.shortName, record.shortSinger, record.fileUrl};
}

SoundTags soundTagsOf(const SoundInfo &record, const QString &pageAddress, int id3Version)
{
    SoundTags tags;
    tags.title = record.soundName;
    tags.artist = record.singer;
    tags.comment = record.infoText;
    // The publishing time starts with its date; a tag wants the date alone.
    const QString day = record.publishTime.left(10);
    if (QDate::fromString(day, Qt::ISODate).isValid())
        tags.date = day;
    tags.pageAddress = pageAddress;
    tags.id3Version = id3Version;
    // Cut here already, so the history keeps no more of a huge text than the file.
    return cappedTags(std::move(tags));
}

DownloadRequest soundDownloadRequest(const SoundInfo &record, const QString &pageAddress,
                                     const DownloadSettings &settings)
{
    DownloadRequest request;
    request.fileUrl = record.fileUrl;
    request.folder = settings.folder;
    if (request.folder.isEmpty())
        request.folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (request.folder.isEmpty())
        request.folder = QDir::homePath();
    // Stored templates were checked when read; a bad one names by the default.
    request.fileName = templatedFileName(settings.nameTemplate, nameFieldsOf(record)).value_or(QString());
    if (settings.tags) {
        request.tags = soundTagsOf(record, pageAddress, settings.id3Version);
        request.coverUrl = record.coverUrl;
    }
    return request;
}

DownloadEntry soundDownloadEntry(const SoundInfo &record, const QString &pageAddress,
                                 const DownloadSettings &settings)
{
    const DownloadRequest request = soundDownloadRequest(record, pageAddress, settings);
    DownloadEntry entry;
    entry.soundId = record.soundId;
    entry.pageAddress = pageAddress;
    entry.name = record.soundName;
    entry.singer = record.singer;
    entry.fileUrl = request.fileUrl;
    entry.folder = request.folder;
    entry.fileName = request.fileName;
    entry.tags = request.tags;
    entry.coverUrl = request.coverUrl;
    return entry;
}
