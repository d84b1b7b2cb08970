// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

// Generated media, so nothing is copied from elsewhere.

// A short tune as 16-bit mono PCM WAV; seed picks the melody.
QByteArray sampleAudioWav(int seed, double seconds = 3.0);

// A 200 x 200 PNG cover; seed picks the colours and shapes. Draws no text,
// so it works without a GUI application object.
QByteArray sampleCoverPng(int seed);

// The generated body of the sample service's /file/ downloads: byte i of
// every such body is sampleFileByte(i), so a test can rebuild any prefix.
// The pattern repeats after a prime number of bytes, which no buffer size
// divides, so reordered or repeated chunks show.
constexpr qint64 SampleFilePeriod = 65521;
const QByteArray &sampleFilePattern(); // SampleFilePeriod bytes
QByteArray sampleFileBody(qint64 size);

// Numbered text lines making up the sample service's streamed fault bodies:
// 64 KiB, repeated for longer bodies, so a cut shows as a jump in the numbers.
const QByteArray &sampleFillerText();
