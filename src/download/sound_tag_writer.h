// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// TagLib's side of the tagging, in a module loaded on the first tag: the
// window and the command line start without TagLib, and a run that saves
// no sound never loads it. The module knows the program only through this
// header and the records it includes.

#include "download/cover_picture.h"
#include "download/sound_tags.h"

#include <QByteArray>
#include <QtPlugin>

// A sound file's format, as its extension and first bytes say.
enum class SoundKind { None, Mpeg, Mp4, Flac, Vorbis, Opus, Wav };

class SoundTagWriter
{
public:
    virtual ~SoundTagWriter() = default;
    // Tags the file in place, the rest of its tags kept; false when it is
    // not a valid file of kind or could not be saved. tags come cut to
    // MaxTagTextBytes, cover is PNG or JPEG (or empty for none) and
    // geometry what its header says, for the formats that store it.
    virtual bool write(SoundKind kind, const QByteArray &path, const SoundTags &tags,
                       const CoverPicture &cover, const PictureGeometry &geometry) const = 0;
    // The ID3v2 tag, of version tags.id3Version, an MP3 gets in front.
    virtual QByteArray renderId3(const SoundTags &tags, const CoverPicture &cover) const = 0;
};

#define VexaSoundTagWriterIid "org.example.vexahelper.SoundTagWriter/1"
Q_DECLARE_INTERFACE(SoundTagWriter, VexaSoundTagWriterIid)
