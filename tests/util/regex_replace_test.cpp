// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/regex_replace.h"

#include <QTest>

class RegexReplaceTest : public QObject
{
    Q_OBJECT

private slots:
    void replace_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");

        const QString linkTags = QStringLiteral("</?a[^<>]*>");
        QTest::newRow("upper-case tag with attribute")
            << QStringLiteral("<li><A HREF=\"http://x/sound/1\" title=\"雨\">雨巷</a> 12</li>") << linkTags
            << QString() << QStringLiteral("<li>雨巷 12</li>");
        QTest::newRow("every match, not only the first")
            << QStringLiteral("<a>一</a><a href=x>二</A>") << linkTags << QString() << QStringLiteral("一二");
        QTest::newRow("no match") << QStringLiteral("<abbr>x</abbr> <b>y</b>") << QStringLiteral("</?a>")
                                  << QString() << QStringLiteral("<abbr>x</abbr> <b>y</b>");
        QTest::newRow("not multi-line: $ is the end of the text")
            << QStringLiteral("a1\na2") << QStringLiteral("\\d$") << QStringLiteral("#")
            << QStringLiteral("a1\na#");
        QTest::newRow("replacement text") << QStringLiteral("x-y-z") << QStringLiteral("-")
                                          << QStringLiteral("、") << QStringLiteral("x、y、z");
        QTest::newRow("invalid pattern leaves the text")
            << QStringLiteral("(a") << QStringLiteral("(") << QString() << QStringLiteral("(a");
    }

    void replace()
    {
        QFETCH(QString, subject);
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(regexReplace(subject, pattern, replacement), expected);
    }
};

QTEST_APPLESS_MAIN(RegexReplaceTest)
#include "regex_replace_test.moc"
