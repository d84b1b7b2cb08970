// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/picture_converter.h"
#include "pictures/picture_bytes.h"

#include <QBuffer>
#include <QObject>

class PictureConverterModule final : public QObject, public PictureConverter
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VexaPictureConverterIid)
    Q_INTERFACES(PictureConverter)

public:
    QByteArray toPng(const QByteArray &bytes) const override
    {
        const QImage image = pictureFromBytes(bytes);
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        if (image.isNull() || !image.save(&out, "PNG"))
            return {};
        return png;
    }
};

#include "picture_converter_module.moc"
