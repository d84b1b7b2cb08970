// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"

#include <QImage>
#include <QObject>
#include <QString>

// Limits that keep a hostile or broken cover from freezing the program or
// exhausting its memory.
constexpr qint64 MaxPictureBytes = 20 * 1024 * 1024;
constexpr qint64 MaxPicturePixels = 64 * 1024 * 1024;

// A picture from a local file; a null image when nothing loads: empty
// text, no such file, not a picture, a file over MaxPictureBytes or a
// picture over MaxPicturePixels.
QImage pictureFromFile(const QString &path);

// The picture in bytes, under the same limits.
QImage pictureFromBytes(const QByteArray &bytes);

// The picture format the bytes' header names ("png", "jpeg", …), read
// without decoding a pixel; empty when they are no picture or over the limits.
QByteArray pictureFormatOf(const QByteArray &bytes);

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
