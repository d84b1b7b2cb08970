// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QString>

// The pictures of the first frame are also compiled in as raw pixels, made
// from the PNGs at build time (resources/tools/raw_picture.cpp). A pixmap
// reads them where they lie in the program, so starting needs no PNG
// decoding and no copy.

struct RawPictureHeader
{
    char magic[4];
    quint32 width;
    quint32 height;
    quint32 format; // QImage::Format: RGB32 or ARGB32_Premultiplied
};
inline constexpr char RawPictureMagic[4] = {'V', 'X', 'R', 'P'};

// The picture :/pictures/NAME.png, from its raw copy when there is one. Above
// a device pixel ratio of 1 it is NAME@2x instead, drawn at twice the size,
// resampled to the ratio's own pixels unless that is 2; the pixmap carries the
// ratio. Without a ratio, the application's (its highest screen's, as Qt's own
// @2x lookup takes it).
QPixmap storedPicture(const QString &name);
QPixmap storedPicture(const QString &name, qreal ratio);
