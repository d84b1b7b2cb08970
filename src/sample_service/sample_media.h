#pragma once

#include <QByteArray>

// Generated media, so nothing is copied from elsewhere.

// A short tune as 16-bit mono PCM WAV; seed picks the melody.
QByteArray sampleAudioWav(int seed, double seconds = 3.0);

// A 200 x 200 PNG cover; seed picks the colours and shapes. Draws no text,
// so it works without a GUI application object.
QByteArray sampleCoverPng(int seed);
