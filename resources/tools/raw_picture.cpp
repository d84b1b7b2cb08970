// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// raw_picture IN.png OUT: writes the picture as the raw pixels that
// storedPicture() reads in place, in the pixel format a pixmap keeps it in,
// so what is shown is the same as from the PNG. Run by the build.
#include "shell/stored_picture.h"

#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: raw_picture IN.png OUT\n");
        return 64;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "raw_picture: cannot read %s\n", argv[1]);
        return 1;
    }
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
    RawPictureHeader header{};
    std::memcpy(header.magic, RawPictureMagic, sizeof header.magic);
    header.width = quint32(image.width());
    header.height = quint32(image.height());
    header.format = quint32(image.format());
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "raw_picture: cannot write %s\n", argv[2]);
        return 1;
    }
    out.write(reinterpret_cast<const char *>(&header), sizeof header);
    for (int y = 0; y < image.height(); ++y)
        out.write(reinterpret_cast<const char *>(image.constScanLine(y)), qint64(image.width()) * 4);
    return out.flush() ? 0 : 1;
}
