// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/stored_picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QResource>

#include <cmath>
#include <cstring>

namespace {

#ifdef VEXA_RAW_PICTURES
extern "C" const uchar vexaRawPictures[];

// Registered on first use and taken back at exit: Qt keeps the pack's root
// until then and frees it only when told.
struct RawPicturePack
{
    RawPicturePack() { QResource::registerResource(vexaRawPictures); }
    ~RawPicturePack() { QResource::unregisterResource(vexaRawPictures); }
    Q_DISABLE_COPY_MOVE(RawPicturePack)
};
#endif

// FILE (NAME or NAME@2x) read in place from its raw copy, else decoded from its PNG.
QImage pictureImage(const QString &file)
{
#ifdef VEXA_RAW_PICTURES
    static const RawPicturePack pack;
#endif
    const QResource raw(QStringLiteral(":/pictures/raw/") + file);
    RawPictureHeader header{};
    if (raw.isValid() && raw.compressionAlgorithm() == QResource::NoCompression &&
        raw.size() >= qint64(sizeof header)) {
        std::memcpy(&header, raw.data(), sizeof header);
        const auto format = QImage::Format(header.format);
        const qint64 rowBytes = qint64(header.width) * 4;
        if (std::memcmp(header.magic, RawPictureMagic, sizeof header.magic) == 0 &&
            (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied) &&
            raw.size() == qint64(sizeof header) + rowBytes * header.height) {
            const uchar *pixels = raw.data() + sizeof header;
            QImage image(pixels, int(header.width), int(header.height), rowBytes, format);
            // Rows must start on 32-bit boundaries to be read in place.
            if (quintptr(pixels) % alignof(quint32) != 0)
                image = image.copy();
            return image;
        }
    }
    return QImage(QStringLiteral(":/pictures/") + file + QStringLiteral(".png"));
}

} // namespace

QPixmap storedPicture(const QString &name)
{
    return storedPicture(name, qApp->devicePixelRatio());
}

QPixmap storedPicture(const QString &name, qreal ratio)
{
    if (ratio <= 1)
        return QPixmap::fromImage(pictureImage(name));
    QImage image = pictureImage(name + QStringLiteral("@2x"));
    if (image.isNull())
        return QPixmap::fromImage(pictureImage(name));
    // Other ratios (1.5, 3) get the @2x resampled once to their own pixels,
    // so painting never stretches it again.
    if (!qFuzzyCompare(ratio, 2.0)) {
        const QSize size(qRound(image.width() / 2.0 * ratio), qRound(image.height() / 2.0 * ratio));
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else {
        ratio = 2;
    }
    // Setting the ratio copies raw pixels (Qt detaches read-only data);
    // a few milliseconds, far less than decoding the PNG.
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
