// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

// The tags' picture as PNG or JPEG bytes with their MIME type: other
// picture formats are converted, anything that is no picture within the
// picture limits gives empty bytes.
struct CoverPicture
{
    QByteArray bytes;
    QByteArray mimeType;
};
CoverPicture coverPictureOf(const QByteArray &bytes);

// A PNG's or JPEG's size and bits a pixel as its header gives them; zero
// when the header does not say.
struct PictureGeometry
{
    int width = 0;
    int height = 0;
    int depth = 0;
};
PictureGeometry pngOrJpegGeometry(const QByteArray &bytes);

// "image/png" or "image/jpeg" by the first bytes; empty for anything else.
QByteArray coverMimeType(const QByteArray &bytes);
