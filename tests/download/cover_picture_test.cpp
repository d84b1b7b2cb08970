// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/cover_picture.h"
#include "sample_service/sample_media.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

namespace {

QByteArray saved(const char *format, QImage::Format pixels = QImage::Format_RGB32)
{
    QImage image(8, 6, pixels);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The bytes with a big-endian 16-bit value at at, as in a picture's header.
QByteArray with16(QByteArray bytes, qsizetype at, quint16 value)
{
    bytes[at] = char(value >> 8);
    bytes[at + 1] = char(value & 0xFF);
    return bytes;
}

} // namespace

class CoverPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void cover_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("mimeType"); // empty: left out
        QTest::addColumn<bool>("asItCame");
        const QByteArray png = sampleCoverPng(1);
        const QByteArray jpeg = saved("JPEG");
        QTest::newRow("PNG") << png << QByteArray("image/png") << true;
        QTest::newRow("JPEG") << jpeg << QByteArray("image/jpeg") << true;
        // Width and height of 65535 or more: beyond the picture limits.
        QTest::newRow("PNG too big by its header")
            << with16(with16(png, 18, 0xFFFF), 22, 0xFFFF) << QByteArray() << false;
        const qsizetype frame = jpeg.indexOf("\xFF\xC0");
        QVERIFY(frame > 0);
        QTest::newRow("JPEG too big by its header")
            << with16(with16(jpeg, frame + 5, 0xFFFF), frame + 7, 0xFFFF) << QByteArray() << false;
        QTest::newRow("BMP, made PNG") << saved("BMP") << QByteArray("image/png") << false;
        QTest::newRow("PNG start, then nothing") << png.left(12) << QByteArray() << false;
        QTest::newRow("an error page") << QByteArray("<html>not found</html>") << QByteArray() << false;
    }

    // PNG and JPEG go in as they came, others converted, anything else left out.
    void cover()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, mimeType);
        QFETCH(bool, asItCame);
        const CoverPicture cover = coverPictureOf(bytes);
        QCOMPARE(cover.mimeType, mimeType);
        QCOMPARE(cover.bytes.isEmpty(), mimeType.isEmpty());
        if (asItCame)
            QCOMPARE(cover.bytes, bytes);
        else if (!mimeType.isEmpty())
            QCOMPARE(QImage::fromData(cover.bytes).pixelColor(3, 3), QColor(Qt::red));
    }

    void geometry_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("width"); // 0: the header does not say
        QTest::addColumn<int>("depth");
        QTest::newRow("PNG, RGB") << saved("PNG") << 8 << 24;
        QTest::newRow("PNG, RGBA") << saved("PNG", QImage::Format_ARGB32) << 8 << 32;
        QTest::newRow("PNG, grey") << saved("PNG", QImage::Format_Grayscale8) << 8 << 8;
        QTest::newRow("JPEG, colour") << saved("JPEG") << 8 << 24;
        QTest::newRow("JPEG, grey") << saved("JPEG", QImage::Format_Grayscale8) << 8 << 8;
        QTest::newRow("PNG cut in its header") << saved("PNG").left(20) << 0 << 0;
        QTest::newRow("JPEG cut before its frame") << saved("JPEG").left(20) << 0 << 0;
    }

    // Read from the header alone, for the tags' picture block.
    void geometry()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, width);
        QFETCH(int, depth);
        const PictureGeometry geometry = pngOrJpegGeometry(bytes);
        QCOMPARE(geometry.width, width);
        QCOMPARE(geometry.height, width ? 6 : 0);
        QCOMPARE(geometry.depth, depth);
    }
};

QTEST_GUILESS_MAIN(CoverPictureTest)
#include "cover_picture_test.moc"
