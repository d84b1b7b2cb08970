// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"
#include "pictures/picture_bytes.h"

#include <QImage>
#include <QObject>
#include <QString>

// A picture from an http(s) address, fetched within the same limits, or
// else from a local file path: finished(picture) follows start() once, from
// the event loop, with a null image when nothing loads. An error page is no
// picture. The caller decides which texts may be taken as paths. Destroying
// the load cancels it quietly.
class PictureLoad : public QObject
{
    Q_OBJECT

public:
    PictureLoad(QString pathOrAddress, const FetchOptions &options, QObject *parent = nullptr);
    void start();
    // The fetched bytes of a picture that loaded from the web, as they came.
    const QByteArray &bytes() const { return m_bytes; }

signals:
    void finished(const QImage &picture);

private:
    void finish(const QImage &picture);

    const QString m_source;
    HttpRequest *m_request = nullptr;
    QByteArray m_bytes;
};
