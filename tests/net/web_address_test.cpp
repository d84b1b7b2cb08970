// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/web_address.h"

#include <QTest>

class WebAddressTest : public QObject
{
    Q_OBJECT

private slots:
    void schemes_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("web");

        QTest::newRow("http") << QStringLiteral("http://127.0.0.1:8080/cover/1.png") << true;
        QTest::newRow("https") << QStringLiteral("https://cdn.example/a.mp3") << true;
        QTest::newRow("scheme in capitals") << QStringLiteral("HTTP://cdn.example/a.mp3") << true;
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
        QTest::newRow("file with host") << QStringLiteral("file://localhost/etc/passwd") << false;
        QTest::newRow("data") << QStringLiteral("data:image/png;base64,iVBORw0KGgo=") << false;
        QTest::newRow("bare path") << QStringLiteral("/etc/passwd") << false;
        QTest::newRow("relative path") << QStringLiteral("../../secret.png") << false;
        QTest::newRow("ftp") << QStringLiteral("ftp://example.org/a.mp3") << false;
        QTest::newRow("no host") << QStringLiteral("http:///etc/passwd") << false;
        QTest::newRow("empty") << QString() << false;
        // Only the scheme is judged: an odd http address is still fetched (and fails there).
        QTest::newRow("space and quote in the path") << QStringLiteral("http://h/a b.wav\",\"x\":1") << true;
    }

    void schemes()
    {
        QFETCH(QString, address);
        QFETCH(bool, web);
        QCOMPARE(isWebAddress(address), web);
    }
};

QTEST_APPLESS_MAIN(WebAddressTest)
#include "web_address_test.moc"
