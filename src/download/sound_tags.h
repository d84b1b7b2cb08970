// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/cover_picture.h"

#include <QByteArray>
#include <QString>

// What a saved sound file is tagged with, so music players know it.
struct SoundTags
{
    QString title;
    QString artist;
    QString comment;     // line breaks as "\n" or "\r\n"
    QString date;        // "yyyy-MM-dd", or empty
    QString pageAddress; // the sound's page on the service
    QByteArray cover;    // PNG or JPEG bytes as coverPictureOf() gives them; empty for none
    int id3Version = 4;  // 3 or 4, for MP3 and WAV

    bool operator==(const SoundTags &other) const = default;
};

// Most bytes of UTF-8 a text field is written with. Players show a line or
// a paragraph; a longer text from the service is cut, so that a huge
// introduction is not copied over and over on its way into the file.
inline constexpr qsizetype MaxTagTextBytes = 64 * 1024;

// tags with each text field cut to MaxTagTextBytes, on a character boundary.
SoundTags cappedTags(SoundTags tags);

// The field a sound page address is written to, in TagLib's naming; ID3
// gets it as a WOAS frame, MP4 as a freeform item of this name.
inline constexpr char PageAddressProperty[] = "AUDIOSOURCEWEBPAGE";

struct TagOutcome
{
    bool written = false;
    QString detail; // why nothing was written, for people and logs
};

// Tags the file in place with title, artist, comment, date, page address
// and front cover. The format comes from the extension of finalName (mp3,
// m4a / mp4, flac, ogg / oga, opus, wav) and must agree with the file's first bytes;
// otherwise, or when the file is unreadable, nothing is changed. Existing
// tags of those fields are replaced, the audio itself is never touched.
// Blocking file work: run it off the GUI thread for big files.
// id3Tag, when given, is renderedId3Tag(tags), made ahead of time.
// frontRoom is the size of an emptyId3Tag() the MP3's download wrote in
// front of the body; the tag goes into it when it fits.
TagOutcome writeSoundTags(const QString &path, const QString &finalName, const SoundTags &tags,
                          const QByteArray &id3Tag = {}, qint64 frontRoom = 0);

// Loads the tagging module (TagLib) now, on the calling thread, if it is not
// loaded yet. The functions here load it on first use otherwise; loaded by a
// worker thread, TagLib's and Qt's per-thread data outlive the worker and
// show as leaks at exit.
void loadSoundTagWriter();

// Whether the first bytes of a body are an MPEG audio frame, with no tag in front.
bool startsBareMpeg(const QByteArray &head);

// An ID3v2 tag of size bytes (at least 10) holding nothing but padding: the
// room an MP3's tag is written into later, a valid tag meanwhile.
QByteArray emptyId3Tag(qint64 size, int id3Version);

// The ID3v2 tag an MP3 without one gets; rendered while the body is still
// coming, the file waits less for its tags.
QByteArray renderedId3Tag(const SoundTags &tags);
