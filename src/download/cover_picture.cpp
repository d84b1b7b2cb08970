// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/cover_picture.h"

#include "download/picture_converter.h"
#include "net/picture_limits.h"
#include "util/program_module.h"

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

// Players know PNG and JPEG; anything else is converted by a module.
PictureConverter *pictureConverter()
{
    return moduleLoadedOnce<PictureConverter>(QStringLiteral(VEXA_PICTURES_MODULE_FILE),
                                              "covers other than PNG and JPEG are left out");
}

} // namespace

PictureGeometry pngOrJpegGeometry(const QByteArray &bytes)
{
    if (bytes.startsWith(PngMagic)) {
        if (bytes.size() < 26 || bytes.mid(12, 4) != "IHDR")
            return {};
        // Bits a sample times samples a pixel, by colour type.
        const int bitsPerSample = quint8(bytes.at(24));
        const int colourType = quint8(bytes.at(25));
        const int samples = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
        return {int(bigEndian(bytes, 16, 4) & 0x7FFFFFFF), int(bigEndian(bytes, 20, 4) & 0x7FFFFFFF),
                bitsPerSample * samples};
    }
    // JPEG: the segments up to the first start of frame (SOFn, but not the
    // tables DHT, JPG and DAC that share its numbers).
    for (qsizetype at = 2; at + 10 <= bytes.size() && quint8(bytes.at(at)) == 0xFF;) {
        const quint8 marker = quint8(bytes.at(at + 1));
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return {int(bigEndian(bytes, at + 7, 2)), int(bigEndian(bytes, at + 5, 2)),
                    quint8(bytes.at(at + 4)) * quint8(bytes.at(at + 9))};
        at += 2 + bigEndian(bytes, at + 2, 2);
    }
    return {};
}

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
    if (bytes.isEmpty() || bytes.size() > MaxPictureBytes)
        return {};
    if (bytes.startsWith(PngMagic) || bytes.startsWith(JpegMagic)) {
        const PictureGeometry geometry = pngOrJpegGeometry(bytes);
        if (geometry.width > 0 && geometry.height > 0)
            return qint64(geometry.width) * geometry.height <= MaxPicturePixels
                       ? CoverPicture{bytes, bytes.startsWith(PngMagic) ? "image/png" : "image/jpeg"}
                       : CoverPicture{};
    }
    // Anything else, a header this could not read included, goes through
    // Qt's decoders and comes out PNG.
    PictureConverter *converter = pictureConverter();
    const QByteArray png = converter ? converter->toPng(bytes) : QByteArray();
    if (png.isEmpty())
        return {};
    return {png, "image/png"};
}
