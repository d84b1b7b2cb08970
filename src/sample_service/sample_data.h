// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// One built-in sample sound. Counts are kept as the service would send them.
struct SampleSound
{
    QString id;
    QString name;
    QString singer;       // as sent, spaces included
    QString introduction; // with real line breaks; escaped as \r\n when sent
    qint64 playCount = 0;
    qint64 fanCount = 0;
    qint64 shareCount = 0;
    bool shareCountQuoted = false; // sent as "123" rather than 123
    qint64 createTime = 0;         // seconds since 1970-01-01
    bool fileQuery = true;         // the file address carries a query string
    QString filePath;              // on the service; "/audio/ID.wav" when empty
    QString mediaId;               // the sample whose cover it shows; the id when empty
};

const QList<SampleSound> &sampleSounds();
const SampleSound *findSampleSound(const QString &id);
// A record for the ids "file-KIND-N" whose file is the service's generated
// download /file/KIND-N.mp3 (see SampleService); nullopt for other ids.
std::optional<SampleSound> downloadSampleSound(const QString &id);
// A record for the ids "ID-EXT": sample ID with its tune encoded as EXT
// (/audio/ID.EXT, see sampleEncodingExtensions()), or for "ID-fake" as WAV
// bytes behind an .mp3 name; nullopt for other ids.
std::optional<SampleSound> encodedSampleSound(const QString &id);

// The sound-info answer in the service's JSON shape; cover and file
// addresses point at baseUrl ("http://127.0.0.1:PORT").
QByteArray soundInfoJson(const SampleSound &sound, const QString &baseUrl);
// The service's answer for an unknown id: JSON without any sound keys.
QByteArray soundNotFoundJson(const QString &id);
// The sound's web page.
QByteArray soundPageHtml(const SampleSound &sound, const QString &baseUrl);
// The home page with its recommended sounds, linked by path.
QByteArray homePageHtml();
