// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Cover pictures as fetched: any bytes, decoded by whichever image reader
// claims them, under the program's size limits.

#include "fuzz_support.h"

#include "pictures/picture_bytes.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QImage image = pictureFromBytes(fuzzBytes(data, size));
    if (image.isNull())
        return 0;
    const QString shape = QStringLiteral("%1 x %2").arg(image.width()).arg(image.height());
    FUZZ_CHECK(image.width() > 0 && image.height() > 0, shape);
    FUZZ_CHECK(qint64(image.width()) * image.height() <= MaxPicturePixels, shape);
    // Every row is there to be drawn.
    FUZZ_CHECK(image.constScanLine(image.height() - 1) != nullptr, shape);
    return 0;
}
