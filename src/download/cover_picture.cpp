// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/cover_picture.h"

#include "net/picture_load.h"

#include <QBuffer>
#include <QImage>
#include <QSize>

namespace {

const char PngMagic[] = "\x89PNG\r\n\x1a\n";
const char JpegMagic[] = "\xFF\xD8\xFF";

quint32 bigEndian(const QByteArray &bytes, qsizetype at, int length)
{
    quint32 value = 0;
    for (int i = 0; i < length; ++i)
        value = value << 8 | quint8(bytes.at(at + i));
    return value;
}

// A PNG's or JPEG's size as its header gives it; invalid when the header
// does not say.
QSize pngOrJpegSize(const QByteArray &bytes)
{
    if (bytes.startsWith(PngMagic))
        return bytes.size() >= 24 && bytes.mid(12, 4) == "IHDR"
                   ? QSize(int(bigEndian(bytes, 16, 4) & 0x7FFFFFFF),
                           int(bigEndian(bytes, 20, 4) & 0x7FFFFFFF))
                   : QSize();
    // JPEG: the segments up to the first start of frame (SOFn, but not the
    // tables DHT, JPG and DAC that share its numbers).
    for (qsizetype at = 2; at + 9 <= bytes.size() && quint8(bytes.at(at)) == 0xFF;) {
        const quint8 marker = quint8(bytes.at(at + 1));
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return QSize(int(bigEndian(bytes, at + 7, 2)), int(bigEndian(bytes, at + 5, 2)));
        at += 2 + bigEndian(bytes, at + 2, 2);
    }
    return {};
}

} // namespace

QByteArray coverMimeType(const QByteArray &bytes)
{
    if (bytes.startsWith(PngMagic))
        return "image/png";
    if (bytes.startsWith(JpegMagic))
        return "image/jpeg";
    return {};
}

CoverPicture coverPictureOf(const QByteArray &bytes)
{
    // PNG and JPEG go in as they came, after a look at their header only:
    // decoding every pixel, or loading Qt's picture plugins to find the
    // format, would hold the download up for nothing.
    if (bytes.size() <= MaxPictureBytes && (bytes.startsWith(PngMagic) || bytes.startsWith(JpegMagic))) {
        const QSize size = pngOrJpegSize(bytes);
        if (!size.isEmpty())
            return qint64(size.width()) * size.height() <= MaxPicturePixels
                       ? CoverPicture{bytes, bytes.startsWith(PngMagic) ? "image/png" : "image/jpeg"}
                       : CoverPicture{};
    }
    const QByteArray format = pictureFormatOf(bytes);
    if (format == "png" && bytes.startsWith(PngMagic))
        return {bytes, "image/png"};
    if (format == "jpeg" && bytes.startsWith(JpegMagic))
        return {bytes, "image/jpeg"};
    // Players know PNG and JPEG; anything else is converted.
    const QImage image = format.isEmpty() ? QImage() : pictureFromBytes(bytes);
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&out, "PNG"))
        return {};
    return {png, "image/png"};
}
