// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/picture_limits.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// A picture from a local file; a null image when nothing loads: empty
// text, no such file, not a picture, a file over MaxPictureBytes or a
// picture over MaxPicturePixels.
QImage pictureFromFile(const QString &path);

// The picture in bytes, under the same limits.
QImage pictureFromBytes(const QByteArray &bytes);

// The picture format the bytes' header names ("png", "jpeg", …), read
// without decoding a pixel; empty when they are no picture or over the limits.
QByteArray pictureFormatOf(const QByteArray &bytes);
