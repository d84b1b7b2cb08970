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
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("raw");
        QTest::newRow("background") << QStringLiteral("background") << 1.0 << QStringLiteral("background")
                                    << true;
        QTest::newRow("background at 2")
            << QStringLiteral("background") << 2.0 << QStringLiteral("background@2x") << true;
        QTest::newRow("default cover")
            << QStringLiteral("default_cover") << 1.0 << QStringLiteral("default_cover") << true;
        QTest::newRow("logo, with alpha") << QStringLiteral("logo") << 1.0 << QStringLiteral("logo") << true;
        QTest::newRow("logo at 3, with alpha")
            << QStringLiteral("logo") << 3.0 << QStringLiteral("logo@2x") << true;
        QTest::newRow("cursor, with alpha")
            << QStringLiteral("hand_cursor") << 1.0 << QStringLiteral("hand_cursor") << true;
        QTest::newRow("only a PNG") << QStringLiteral("refresh") << 1.0 << QStringLiteral("refresh") << false;
        QTest::newRow("no twin") << QStringLiteral("refresh") << 2.0 << QStringLiteral("refresh") << false;
    }

    // Shown exactly as the PNG is, from raw pixels where there are some
    // (read in place at ratio 1); above ratio 1 from the @2x twin, which
    // ratio 2 takes as it is and others resample.
    void sameAsPng()
    {
        QFETCH(QString, name);
        QFETCH(qreal, ratio);
        QFETCH(QString, file);
        QFETCH(bool, raw);
        const QPixmap picture = storedPicture(name, ratio);
        const QImage png = QPixmap(QStringLiteral(":/pictures/") + file + QStringLiteral(".png")).toImage();
        QVERIFY(!png.isNull());
        if (ratio != 2 && file.endsWith(QStringLiteral("@2x"))) {
            QCOMPARE(picture.devicePixelRatio(), ratio);
            QCOMPARE(picture.size(), png.size() / 2 * ratio);
            return;
        }
        QCOMPARE(picture.devicePixelRatio(), file == name ? 1.0 : 2.0);
        const QImage shown = picture.toImage();
        QCOMPARE(shown, png);
        const QResource resource(QStringLiteral(":/pictures/raw/") + file);
        QCOMPARE(resource.isValid(), raw);
        if (raw && ratio == 1) // a ratio of its own costs a copy
            QCOMPARE(shown.constBits(), resource.data() + sizeof(RawPictureHeader));
    }

    void twinIsDrawnAtTwiceTheSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("smooth"); // pixel art and flat colour are blown up on purpose
        for (const char *name : {"background", "default_cover", "icon", "logo", "logo_mark"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        QTest::newRow("hand_cursor") << QStringLiteral("hand_cursor") << false;
        QTest::newRow("panel") << QStringLiteral("panel") << false;
    }

    void twinIsDrawnAtTwiceTheSize()
    {
        QFETCH(QString, name);
        QFETCH(bool, smooth);
        const QImage one(QStringLiteral(":/pictures/") + name + QStringLiteral(".png"));
        const QImage two(QStringLiteral(":/pictures/") + name + QStringLiteral("@2x.png"));
        QCOMPARE(two.size(), one.size() * 2);
        if (smooth)
            QVERIFY(two != one.scaled(two.size()));
        QCOMPARE(storedPicture(name, 2).size(), two.size());
    }
};

QTEST_MAIN(StoredPictureTest)
#include "stored_picture_test.moc"
