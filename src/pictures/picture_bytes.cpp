// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pictures/picture_bytes.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

QByteArray pictureFormatOf(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > MaxPictureBytes)
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The header tells the size before any pixel is decoded. Formats that
    // cannot tell stay bounded by the reader's own allocation limit.
    const QSize size = reader.size();
    if (!reader.canRead() || (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels))
        return {};
    return reader.format();
}

QImage pictureFromBytes(const QByteArray &bytes)
{
    QImage image;
    if (pictureFormatOf(bytes).isEmpty() || !image.loadFromData(bytes))
        return {};
    return image;
}

QImage pictureFromFile(const QString &path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureBytes)
        return {};
    return pictureFromBytes(file.read(MaxPictureBytes + 1));
}
