// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/stored_picture.h"

#include <QImage>
#include <QResource>

#include <cstring>

QPixmap storedPicture(const QString &name)
{
    const QResource raw(QStringLiteral(":/pictures/raw/") + name);
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
            return QPixmap::fromImage(image);
        }
    }
    return QPixmap(QStringLiteral(":/pictures/") + name + QStringLiteral(".png"));
}
