// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/network_access.h"
#include "pictures/picture_load.h"
#include "sample_service/sample_service.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace {

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray chunk(const char *type, const QByteArray &data)
{
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian(quint32(data.size()), out.data());
    const QByteArray body = QByteArray(type) + data;
    QByteArray crc(4, Qt::Uninitialized);
    qToBigEndian(crc32(body), crc.data());
    return out + body + crc;
}

// A black one-bit PNG of any size: a few kilobytes even at tens of
// megapixels, and cheap to decode, so only the pixel limit can refuse it.
QByteArray blackPng(quint32 width, quint32 height)
{
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 1; // bit depth
    header[9] = 0; // grey
    const QByteArray raw(qsizetype(height) * (1 + (width + 7) / 8), '\0');
    const QByteArray zlib = qCompress(raw).mid(4); // without Qt's length prefix
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib) +
           chunk("IEND", {});
}

} // namespace

class PictureFromPathTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_dir;

    QString url(const QString &path) const { return m_service.baseUrl() + path; }
    QString file(const QString &name, const QByteArray &bytes) const
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    void load_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QSize>("size"); // invalid: no picture

        QTest::newRow("cover address") << url(QStringLiteral("/cover/1001.png")) << QSize(200, 200);
        QTest::newRow("address of a web page") << url(QStringLiteral("/sound/1001")) << QSize();
        QTest::newRow("error status") << url(QStringLiteral("/fault/status?code=404")) << QSize();
        QTest::newRow("empty body") << url(QStringLiteral("/fault/empty")) << QSize();
        QTest::newRow("body over 20 MiB") << url(QStringLiteral("/fault/huge?mib=21")) << QSize();
        QTest::newRow("dropped connection") << url(QStringLiteral("/fault/drop")) << QSize();
        QTest::newRow("empty text") << QString() << QSize();
        QTest::newRow("local file") << file(QStringLiteral("c.png"), blackPng(30, 20)) << QSize(30, 20);
        QTest::newRow("local file, not a picture")
            << file(QStringLiteral("c.txt"), QByteArrayLiteral("hello")) << QSize();
        QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("none.png")) << QSize();
        // Refused from the header alone; Qt's own allocation limit (128 MiB
        // decoded) already stops 32-bit pictures from about 32 megapixels.
        QTest::newRow("16 megapixels")
            << file(QStringLiteral("big.png"), blackPng(4096, 4096)) << QSize(4096, 4096);
        QTest::newRow("over 64 megapixels")
            << file(QStringLiteral("bigger.png"), blackPng(8193, 8192)) << QSize();
    }

    void load()
    {
        QFETCH(QString, source);
        QFETCH(QSize, size);
        PictureLoad load(source, FetchOptions{});
        QSignalSpy finished(&load, &PictureLoad::finished);
        load.start();
        QVERIFY(finished.isEmpty()); // never from start() itself
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 15000);
        const auto image = finished.first().first().value<QImage>();
        if (size.isValid())
            QCOMPARE(image.size(), size);
        QCOMPARE(image.isNull(), !size.isValid());
    }

    void localFileOver20MiB()
    {
        QFile big(m_dir.filePath(QStringLiteral("sparse.png")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.write(blackPng(10, 10)) > 0);
        QVERIFY(big.resize(MaxPictureBytes + 1)); // sparse: costs no disk
        big.close();
        QVERIFY(pictureFromFile(big.fileName()).isNull());
    }
};

QTEST_MAIN(PictureFromPathTest)
#include "picture_load_test.moc"
