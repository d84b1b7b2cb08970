// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The sample tune in the compressed formats real sounds come in, made by
// GStreamer's own encoders so that readers meet genuine files.

// "mp3", "m4a", "flac", "ogg" (Vorbis), "opus".
const QStringList &sampleEncodingExtensions();
// The Content-Type for an extension above; empty for any other.
QByteArray sampleEncodingType(const QString &extension);

struct EncodedAudio
{
    QByteArray bytes; // the whole file; empty on failure
    QString error;    // why not, naming the missing element if one is
};

// Encodes a WAV file's audio as extension says. Blocks until done; safe to
// call from several threads at once.
EncodedAudio encodeSampleAudio(const QByteArray &wav, const QString &extension);
