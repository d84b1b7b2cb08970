#pragma once

#include "services/http_text_fetch.h"

#include <QImage>
#include <QString>

// Limits that keep a hostile or broken cover from freezing the program or
// exhausting its memory.
constexpr qint64 MaxPictureBytes = 20 * 1024 * 1024;
constexpr qint64 MaxPicturePixels = 64 * 1024 * 1024;

// A picture from an http(s) address (fetched like HttpTextFetch, events keep
// flowing during the wait) or else from a local file path. A null image when
// nothing loads: empty text, no such file, not a picture, a body over
// MaxPictureBytes or a picture over MaxPicturePixels. The caller decides
// which texts may be taken as paths.
QImage PictureFromPath(const QString &pathOrAddress, const FetchOptions &options = {});

// The picture in bytes, under the same limits.
QImage PictureFromBytes(const QByteArray &bytes);
