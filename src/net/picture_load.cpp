// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/picture_load.h"

#include "net/web_address.h"

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

PictureLoad::PictureLoad(QString pathOrAddress, const FetchOptions &options, QObject *parent)
    : QObject(parent)
    , m_source(std::move(pathOrAddress))
{
    if (!isWebAddress(m_source))
        return;
    FetchOptions limited = options;
    limited.maxBodyBytes = std::min(options.maxBodyBytes, MaxPictureBytes);
    m_request = new HttpRequest(m_source, limited, BodyAs::Bytes, this);
    connect(m_request, &HttpRequest::finished, this, [this](const FetchResult &fetched) {
        // An error page is no picture, whatever its body holds.
        if (isAbandoned(fetched))
            return;
        const QImage picture =
            !fetched || fetched->httpStatus >= 400 ? QImage() : pictureFromBytes(fetched->bytes);
        if (!picture.isNull())
            m_bytes = fetched->bytes;
        emit finished(picture);
    });
}

void PictureLoad::start()
{
    if (m_request) {
        m_request->start();
        return;
    }
    // A local path (or nothing) reads at once; the answer still comes from the event loop.
    QMetaObject::invokeMethod(
        this, [this] { emit finished(pictureFromFile(m_source)); }, Qt::QueuedConnection);
}
