// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/byte_size.h"

#include <QTest>

class ByteSizeTest : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data()
    {
        QTest::addColumn<double>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("bytes") << 17.0 << QStringLiteral("17 B");
        QTest::newRow("KiB") << 3.2 * 1024 << QStringLiteral("3.2 KiB");
        QTest::newRow("just under 1 MiB") << 1024.0 * 1023.5 << QStringLiteral("1023.5 KiB");
        QTest::newRow("MiB") << 512.0 * 1024 * 1024 << QStringLiteral("512.0 MiB");
        QTest::newRow("GiB") << 1.5 * 1024 * 1024 * 1024 << QStringLiteral("1.5 GiB");
    }

    void sizes()
    {
        QFETCH(double, bytes);
        QFETCH(QString, text);
        QCOMPARE(byteSizeText(bytes), text);
    }
};

QTEST_GUILESS_MAIN(ByteSizeTest)
#include "byte_size_test.moc"
