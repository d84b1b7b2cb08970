// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/version_text.h"

#include <QTest>

class VersionTextTest : public QObject
{
    Q_OBJECT

private slots:
    void formats_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");

        QTest::newRow("program") << 1 << 0 << 0 << QStringLiteral("V1.0.0");
        QTest::newRow("no leading zeros") << 2 << 10 << 7 << QStringLiteral("V2.10.7");
    }

    void formats()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(versionText(major, minor, revision), text);
    }

    // The project version set once in the build is what the program shows.
    void programVersion() { QCOMPARE(versionText(), QStringLiteral("V1.0.0")); }
};

QTEST_GUILESS_MAIN(VersionTextTest)
#include "version_text_test.moc"
