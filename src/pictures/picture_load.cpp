// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pictures/picture_load.h"

#include "net/web_address.h"

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
