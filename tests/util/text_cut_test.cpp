// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/sound_text_samples.h"
#include "util/text_cut.h"

#include <QTest>

class TextCutTest : public QObject
{
    Q_OBJECT

private slots:
    void keyPiece_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("piece");

        const QString x = QStringLiteral("X");
        QTest::newRow("piece 0") << QStringLiteral("abXcdXef") << x << 0 << true << QStringLiteral("ab");
        QTest::newRow("middle piece") << QStringLiteral("abXcdXef") << x << 1 << true << QStringLiteral("cd");
        QTest::newRow("last piece runs to the end")
            << QStringLiteral("abXcdXef") << x << 2 << true << QStringLiteral("ef");
        QTest::newRow("one beyond the count") << QStringLiteral("abXcdXef") << x << 3 << false << QString();
        QTest::newRow("far beyond the count") << QStringLiteral("abXcdXef") << x << 100 << false << QString();
        QTest::newRow("no occurrence, piece 0 is everything")
            << QStringLiteral("abc") << x << 0 << true << QStringLiteral("abc");
        QTest::newRow("no occurrence, piece 1") << QStringLiteral("abc") << x << 1 << false << QString();
        QTest::newRow("empty text, piece 0") << QString() << x << 0 << true << QString();
        QTest::newRow("empty text, piece 1") << QString() << x << 1 << false << QString();
        QTest::newRow("pattern at start, piece 0") << QStringLiteral("Xab") << x << 0 << true << QString();
        QTest::newRow("pattern at start, piece 1")
            << QStringLiteral("Xab") << x << 1 << true << QStringLiteral("ab");
        QTest::newRow("pattern at end") << QStringLiteral("abX") << x << 1 << true << QString();
        QTest::newRow("adjacent occurrences, between")
            << QStringLiteral("aXXb") << x << 1 << true << QString();
        QTest::newRow("adjacent occurrences, after")
            << QStringLiteral("aXXb") << x << 2 << true << QStringLiteral("b");
        QTest::newRow("text is the pattern, piece 1") << x << x << 1 << true << QString();
        QTest::newRow("text is the pattern, piece 2") << x << x << 2 << false << QString();
        QTest::newRow("case-sensitive")
            << QStringLiteral("aXb") << QStringLiteral("x") << 1 << false << QString();
        QTest::newRow("key pattern, first value")
            << raw(R"({"k":"v1","k":"v2"})") << raw(R"("k":")") << 1 << true << raw(R"(v1",)");
        QTest::newRow("key pattern, second value")
            << raw(R"({"k":"v1","k":"v2"})") << raw(R"("k":")") << 2 << true << raw(R"(v2"})");
        // Split semantics: a found occurrence is consumed, the next search starts after it.
        QTest::newRow("overlapping pattern")
            << QStringLiteral("aaa") << QStringLiteral("aa") << 1 << true << QStringLiteral("a");
        QTest::newRow("repeated pattern, last piece")
            << QStringLiteral("aaaa") << QStringLiteral("aa") << 2 << true << QString();
        QTest::newRow("repeated pattern, beyond")
            << QStringLiteral("aaaa") << QStringLiteral("aa") << 3 << false << QString();
        QTest::newRow("surrogate pairs") << Smile + x + Smile << x << 1 << true << Smile;
    }

    // keyPieces agrees with QString::split on every row; keyPiece is its one piece.
    void keyPiece()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, n);
        QFETCH(bool, exists);
        QFETCH(QString, piece);

        const std::optional<QStringView> result = ::keyPiece(text, pattern, n);
        QCOMPARE(result.has_value(), exists);
        if (exists)
            QCOMPARE(result->toString(), piece);

        const QStringList split = pattern.isEmpty() ? QStringList{text} : text.split(pattern);
        const QList<QStringView> pieces = keyPieces(text, pattern, 1, n + 1);
        QCOMPARE(pieces.size(), std::clamp(split.size() - 1, qsizetype(0), qsizetype(n + 1)));
        for (qsizetype i = 0; i < pieces.size(); ++i)
            QCOMPARE(pieces.at(i).toString(), split.at(i + 1));
    }

    void textBefore_data()
    {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QChar>("stop");
        QTest::addColumn<QString>("before");

        QTest::newRow("stop inside") << raw(R"(abc"def)") << QChar(u'"') << QStringLiteral("abc");
        QTest::newRow("first of several") << QStringLiteral("a?b?c") << QChar(u'?') << QStringLiteral("a");
        QTest::newRow("stop at start") << raw(R"("abc)") << QChar(u'"') << QString();
        QTest::newRow("stop at end") << raw(R"(abc")") << QChar(u'"') << QStringLiteral("abc");
        QTest::newRow("stop absent") << QStringLiteral("abc") << QChar(u'"') << QString();
        QTest::newRow("empty piece") << QString() << QChar(u',') << QString();
        QTest::newRow("case-sensitive") << QStringLiteral("xAya") << QChar(u'a') << QStringLiteral("xAy");
        QTest::newRow("surrogate pair before stop") << Smile + QStringLiteral(",1") << QChar(u',') << Smile;
    }

    void textBefore()
    {
        QFETCH(QString, piece);
        QFETCH(QChar, stop);
        QFETCH(QString, before);
        QCOMPARE(::textBefore(piece, stop), before);
    }
};

QTEST_GUILESS_MAIN(TextCutTest)
#include "text_cut_test.moc"
