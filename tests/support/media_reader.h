// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// What GStreamer, a reader independent of the program, finds in a media file.
struct MediaReading
{
    bool ok = false;
    QString error;

    QByteArray pcm; // decoded audio, 16-bit little-endian, channels interleaved
    int sampleRate = 0;
    int channels = 0;
    QString fileType; // caps name of the whole file: "application/x-id3", "audio/mpeg", "video/quicktime", …
    QString codec;    // caps name the decoder took: "audio/mpeg", "audio/x-flac", …; empty for raw PCM

    QString title;
    QString artist;
    QString comment;
    QString date;     // "yyyy-MM-dd", "yyyy-MM" or "yyyy", as precise as the file is
    QByteArray cover; // the front cover, else the first picture
    // Addresses by where they were found: ID3 link frames by frame id
    // ("WOAS", "WXXX:description"), MP4 atoms GStreamer has no name for by
    // type ("purl", "©url"), GStreamer's tags by name ("homepage",
    // "license-uri", "contact", "geo-location-name" for a Vorbis LOCATION, …)
    // and other Vorbis comments by key ("WEBSITE"); only values with "://".
    QMap<QString, QString> urls;

    double seconds() const
    {
        return sampleRate > 0 && channels > 0 ? double(pcm.size()) / (2.0 * channels * sampleRate) : 0.0;
    }
};

// Decodes path to its end, collecting every tag on the way; gives up after
// timeoutMs.
MediaReading readMedia(const QString &path, int timeoutMs = 20000);
