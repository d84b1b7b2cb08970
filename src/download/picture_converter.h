// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Covers in formats players do not show (GIF, BMP, WebP, …) made PNG, by a
// module loaded on the first such cover: it brings Qt Gui's picture
// decoders, which the command line otherwise never loads.

#include <QByteArray>
#include <QtPlugin>

class PictureConverter
{
public:
    virtual ~PictureConverter() = default;
    // The picture as PNG; empty when the bytes are no picture within the
    // picture limits.
    virtual QByteArray toPng(const QByteArray &bytes) const = 0;
};

#define VexaPictureConverterIid "org.example.vexahelper.PictureConverter/1"
Q_DECLARE_INTERFACE(PictureConverter, VexaPictureConverterIid)
