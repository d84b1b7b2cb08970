// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/stored_picture.h"

#include <QResource>
#include <QTest>

class StoredPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void sameAsPng_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("raw");
        QTest::newRow("background") << QStringLiteral("background") << true;
        QTest::newRow("default cover") << QStringLiteral("default_cover") << true;
        QTest::newRow("logo, with alpha") << QStringLiteral("logo") << true;
        QTest::newRow("cursor, with alpha") << QStringLiteral("hand_cursor") << true;
        QTest::newRow("only a PNG") << QStringLiteral("refresh") << false;
    }

    // Shown exactly as the PNG is, and read in place where there are raw pixels.
    void sameAsPng()
    {
        QFETCH(QString, name);
        QFETCH(bool, raw);
        const QImage shown = storedPicture(name).toImage();
        const QImage png = QPixmap(QStringLiteral(":/pictures/") + name + QStringLiteral(".png")).toImage();
        QVERIFY(!png.isNull());
        QCOMPARE(shown, png);
        const QResource resource(QStringLiteral(":/pictures/raw/") + name);
        QCOMPARE(resource.isValid(), raw);
        if (raw)
            QCOMPARE(shown.constBits(), resource.data() + sizeof(RawPictureHeader));
    }
};

QTEST_MAIN(StoredPictureTest)
#include "stored_picture_test.moc"
