// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_media.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int sampleRate = 22050;
constexpr int wavHeaderSize = 44;

void putLe16(char *at, quint16 value)
{
    qToLittleEndian(value, at);
}

void putLe32(char *at, quint32 value)
{
    qToLittleEndian(value, at);
}

void writeWavHeader(char *out, quint32 dataBytes)
{
    std::copy_n("RIFF", 4, out);
    putLe32(out + 4, 36 + dataBytes);
    std::copy_n("WAVEfmt ", 8, out + 8);
    putLe32(out + 16, 16);             // fmt chunk size
    putLe16(out + 20, 1);              // PCM
    putLe16(out + 22, 1);              // mono
    putLe32(out + 24, sampleRate);     // frames per second
    putLe32(out + 28, sampleRate * 2); // bytes per second
    putLe16(out + 32, 2);              // bytes per frame
    putLe16(out + 34, 16);             // bits per sample
    std::copy_n("data", 4, out + 36);
    putLe32(out + 40, dataBytes);
}

} // namespace

QByteArray sampleAudioWav(int seed, double seconds)
{
    // Keep a bad argument from asking for gigabytes.
    if (!(seconds > 0.0))
        seconds = 0.0;
    seconds = std::min(seconds, 600.0);
    const qint64 frames = qRound64(seconds * sampleRate);

    QByteArray wav(wavHeaderSize + frames * 2, Qt::Uninitialized);
    writeWavHeader(wav.data(), quint32(frames * 2));
    char *samples = wav.data() + wavHeaderSize;

    // Major pentatonic over two octaves from C4 (semitones above C4): any walk
    // through it sounds agreeable.
    static constexpr std::array<int, 10> scale = {0, 2, 4, 7, 9, 12, 14, 16, 19, 21};
    static constexpr std::array<double, 4> lengths = {0.25, 0.25, 0.375, 0.5};
    QRandomGenerator rng(quint32(seed) * 2654435761u + 1u);
    int step = int(rng.bounded(quint32(scale.size())));

    const double attack = 0.008 * sampleRate;
    const double release = 0.03 * sampleRate;
    qint64 frame = 0;
    while (frame < frames) {
        const qint64 noteFrames = std::min<qint64>(
            qRound64(lengths[rng.bounded(quint32(lengths.size()))] * sampleRate), frames - frame);
        const double frequency = 261.63 * std::pow(2.0, scale[step] / 12.0);
        const double omega = 2.0 * std::numbers::pi * frequency / sampleRate;
        for (qint64 n = 0; n < noteFrames; ++n) {
            // Fading every note in and out avoids clicks at note boundaries.
            const double envelope = std::min({1.0, n / attack, (noteFrames - n) / release}) *
                                    std::exp(-2.5 * double(n) / sampleRate);
            const double x = omega * double(n);
            const double value = std::sin(x) + 0.3 * std::sin(2 * x) + 0.1 * std::sin(3 * x);
            const auto sample = qint16(std::lround(value / 1.4 * envelope * 0.3 * 32767));
            qToLittleEndian(sample, samples + (frame + n) * 2);
        }
        frame += noteFrames;
        step = std::clamp(step + int(rng.bounded(5)) - 2, 0, int(scale.size()) - 1);
    }
    return wav;
}

QByteArray sampleCoverPng(int seed)
{
    constexpr int size = 200;
    QRandomGenerator rng(quint32(seed) * 40503u + 7u);
    const int hue = int(rng.bounded(360));
    const int hue2 = (hue + 40 + int(rng.bounded(100))) % 360;

    QImage image(size, size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);

        QLinearGradient background(0, 0, size, size);
        background.setColorAt(0, QColor::fromHsv(hue, 140, 235));
        background.setColorAt(1, QColor::fromHsv(hue2, 200, 110));
        painter.fillRect(image.rect(), background);

        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 6; ++i) {
            const QPointF centre(rng.bounded(size), rng.bounded(size));
            const double radius = 20 + rng.bounded(50);
            QRadialGradient glow(centre, radius);
            QColor colour = QColor::fromHsv((hue + 30 * i) % 360, 120, 255, 150);
            glow.setColorAt(0, colour);
            colour.setAlpha(0);
            glow.setColorAt(1, colour);
            painter.setBrush(glow);
            painter.drawEllipse(centre, radius, radius);
        }

        // A record in the middle, so every cover reads as music at a glance.
        const QPointF middle(size / 2.0, size / 2.0);
        painter.setBrush(QColor(20, 20, 24, 230));
        painter.drawEllipse(middle, 62, 62);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 255, 255, 28), 1));
        for (int r = 26; r < 60; r += 4)
            painter.drawEllipse(middle, r, r);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromHsv(hue2, 180, 230));
        painter.drawEllipse(middle, 20, 20);
        painter.setBrush(QColor(20, 20, 24));
        painter.drawEllipse(middle, 3, 3);
    }

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

const QByteArray &sampleFilePattern()
{
    static const QByteArray pattern = [] {
        QByteArray bytes(SampleFilePeriod, Qt::Uninitialized);
        quint32 state = 0x9e3779b9u;
        for (char &byte : bytes) {
            // xorshift: incompressible, so no transfer encoding shrinks it.
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            byte = char(state >> 24);
        }
        return bytes;
    }();
    return pattern;
}

QByteArray sampleFileBody(qint64 size)
{
    const QByteArray &pattern = sampleFilePattern();
    QByteArray body;
    body.reserve(size);
    while (body.size() < size)
        body += pattern.left(size - body.size());
    return body;
}

const QByteArray &sampleFillerText()
{
    static const QByteArray text = [] {
        constexpr qsizetype size = 64 * 1024;
        QByteArray out;
        out.reserve(size + 64);
        for (int i = 0; out.size() < size; ++i)
            out += "vexa sample filler line " + QByteArray::number(i).rightJustified(6, '0') +
                   " abcdefghijklmnopqrstuvwxyz\n";
        out.resize(size);
        return out;
    }();
    return text;
}
