// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The pieces of a sound's record one at a time: JSON text, the publishing
// time, the short name and singer.
#include "sound/sound_extraction.h"
#include "support/sound_text_samples.h"

#include <QLocale>
#include <QTest>

#include <time.h>

namespace {

// Restores TZ and the default locale that a row changed.
class EnvironmentGuard
{
public:
    EnvironmentGuard()
        : m_hadTz(qEnvironmentVariableIsSet("TZ"))
        , m_tz(qgetenv("TZ"))
    {}
    ~EnvironmentGuard()
    {
        if (m_hadTz)
            qputenv("TZ", m_tz);
        else
            qunsetenv("TZ");
        tzset();
        QLocale::setDefault(m_locale);
    }

private:
    bool m_hadTz;
    QByteArray m_tz;
    QLocale m_locale;
};

} // namespace

class SoundExtractionPiecesTest : public QObject
{
    Q_OBJECT

private slots:
    void jsonText_data();
    void jsonText();
    void publishTime_data();
    void publishTime();
    void shortName_data();
    void shortName();
    void shortSinger_data();
    void shortSinger();
};

void SoundExtractionPiecesTest::jsonText_data()
{
    QTest::addColumn<QString>("piece");
    QTest::addColumn<bool>("crlf"); // LineBreaks::CrLf, else AsEscaped
    QTest::addColumn<QString>("text");

    auto row = [](const char *name, const QString &piece, const QString &text) {
        QTest::newRow(name) << piece << false << text;
    };
    auto intro = [](const char *name, const QString &piece, const QString &text) {
        QTest::newRow(name) << piece << true << text;
    };

    // Where the value ends.
    row("ends at the quotation mark", raw(R"(abc","next":1)"), QStringLiteral("abc"));
    row("empty value", raw(R"(",)"), QString());
    row("never closed", QStringLiteral("abc"), QString());
    row("escaped quote does not close", raw(R"(say \"hi\" now",)"), QStringLiteral("say \"hi\" now"));
    row("escaped backslash before the end", raw(R"(a\\",)"), QStringLiteral("a\\"));
    row("escaped backslash then escaped quote", raw(R"(a\\\"b")"), QStringLiteral("a\\\"b"));
    row("closed only by an escaped quote", raw(R"(abc\")"), QString());
    row("backslash last in the piece", raw(R"(abc\)"), QString());
    row("escaped quote as a \\u escape", raw(R"(a\u0022b")"), QStringLiteral("a\"b"));
    // Text without escapes is taken as it stands, raw line breaks included.
    row("plain text", raw(R"(夏夜 晚风 )") + Smile + u'"', QStringLiteral("夏夜 晚风 ") + Smile);
    row("raw line feed kept", QStringLiteral("a\nb\""), QStringLiteral("a\nb"));
    // The short escapes.
    row("slash", raw(R"(http:\/\/x.example\/a")"), QStringLiteral("http://x.example/a"));
    row("backspace, form feed, tab", raw(R"(\b\f\t")"), QStringLiteral("\b\f\t"));
    row("line breaks as escaped", raw(R"(a\r\nb\nc\rd")"), QStringLiteral("a\r\nb\nc\rd"));
    row("unknown escape kept", raw(R"(a\xb\'c")"), raw(R"(a\xb\'c)"));
    // \u escapes and surrogates.
    row("unicode escapes, either case", raw(R"(\u4e2d\u6587\u00E9")"), QStringLiteral("中文é"));
    row("surrogate pair", raw(R"(\ud83d\ude00!")"), Smile + u'!');
    row("surrogate pair upper case", raw(R"(\uD83D\uDE00")"), Smile);
    row("lone first half at the end", raw(R"(a\ud83d")"), QStringLiteral("a") + Replacement);
    row("lone first half before text", raw(R"(\ud83dx")"), Replacement + u'x');
    row("lone second half", raw(R"(\ude00x")"), Replacement + u'x');
    row("first half before another escape", raw(R"(\ud83d\u0041")"), Replacement + u'A');
    row("first half before a pair", raw(R"(\ud83d\ud83d\ude00")"), Replacement + Smile);
    row("second half before first half", raw(R"(\ude00\ud83d")"), Replacement + Replacement);
    row("short \\u escape kept", raw(R"(\u12")"), raw(R"(\u12)"));
    row("\\u with a non-hex digit kept", raw(R"(\u12g4")"), raw(R"(\u12g4)"));
    row("first half before a short escape", raw(R"(\ud83d\ude0")"), Replacement + raw(R"(\ude0)"));
    // The introduction: each escaped line break is one "\r\n".
    intro("intro \\r\\n", raw(R"(a\r\nb")"), QStringLiteral("a\r\nb"));
    intro("intro lone \\n", raw(R"(line1\nline2")"), QStringLiteral("line1\r\nline2"));
    intro("intro lone \\r", raw(R"(a\rb")"), QStringLiteral("a\r\nb"));
    intro("intro \\n\\r is two", raw(R"(a\n\rb")"), QStringLiteral("a\r\n\r\nb"));
    intro("intro \\r\\r\\n is two", raw(R"(a\r\r\nb")"), QStringLiteral("a\r\n\r\nb"));
    intro("intro \\r\\n\\n is two", raw(R"(a\r\n\nb")"), QStringLiteral("a\r\n\r\nb"));
    intro("intro line breaks as \\u escapes", raw(R"(a\u000d\u000Ab\u000ac")"),
          QStringLiteral("a\r\nb\r\nc"));
    intro("intro escaped backslash before n", raw(R"(x\\nr")"), QStringLiteral("x\\nr"));
    intro("intro escape between \\r and \\n", raw(R"(a\r\t\nb")"), QStringLiteral("a\r\n\t\r\nb"));
    intro("intro raw line feed kept", QStringLiteral("a\nb\""), QStringLiteral("a\nb"));
}

void SoundExtractionPiecesTest::jsonText()
{
    QFETCH(QString, piece);
    QFETCH(bool, crlf);
    QFETCH(QString, text);
    QCOMPARE(jsonTextValue(piece, crlf ? LineBreaks::CrLf : LineBreaks::AsEscaped), text);
}

void SoundExtractionPiecesTest::publishTime_data()
{
    QTest::addColumn<QString>("createTime");
    QTest::addColumn<QByteArray>("tz");  // empty: the machine's own
    QTest::addColumn<QString>("locale"); // empty: the default
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text");

    const QByteArray own;
    const QString deflt;
    auto row = [&](const char *name, const QString &t, const QString &text) {
        QTest::newRow(name) << t << own << deflt << true << text;
    };
    auto none = [&](const char *name, const QString &t) {
        QTest::newRow(name) << t << own << deflt << false << QString();
    };

    // Whole seconds; the 8 hours are added to the epoch in every row.
    row("zero", QStringLiteral("0"), QStringLiteral("1970-01-01 08:00:00"));
    row("one second", QStringLiteral("1"), QStringLiteral("1970-01-01 08:00:01"));
    row("one day", QStringLiteral("86400"), QStringLiteral("1970-01-02 08:00:00"));
    row("minus eight hours is midnight", QStringLiteral("-28800"), QStringLiteral("1970-01-01"));
    row("sixteen hours is next midnight", QStringLiteral("57600"), QStringLiteral("1970-01-02"));
    row("second before midnight", QStringLiteral("57599"), QStringLiteral("1970-01-01 23:59:59"));
    row("second before the shifted epoch", QStringLiteral("-28801"), QStringLiteral("1969-12-31 23:59:59"));
    row("typical", QStringLiteral("1700000000"), QStringLiteral("2023-11-15 06:13:20"));
    row("typical midnight", QStringLiteral("1699977600"), QStringLiteral("2023-11-15"));
    row("leap day", QStringLiteral("1709185505"), QStringLiteral("2024-02-29 13:45:05"));
    // Fractions go down, also below zero.
    row("half a second", QStringLiteral("0.5"), QStringLiteral("1970-01-01 08:00:00"));
    row("almost two seconds", QStringLiteral("1.999"), QStringLiteral("1970-01-01 08:00:01"));
    row("minus half a second", QStringLiteral("-0.5"), QStringLiteral("1970-01-01 07:59:59"));
    row("fraction down to midnight", QStringLiteral("-28799.5"), QStringLiteral("1970-01-01"));
    row("fraction down past midnight", QStringLiteral("-28800.5"), QStringLiteral("1969-12-31 23:59:59"));
    row("zero fraction", QStringLiteral("1700000000.0"), QStringLiteral("2023-11-15 06:13:20"));
    row("surrounding spaces", QStringLiteral(" 86400 "), QStringLiteral("1970-01-02 08:00:00"));
    row("surrounding tab and line feed", QStringLiteral("\t0\n"), QStringLiteral("1970-01-01 08:00:00"));
    // Years 1 to 9999 only.
    row("last second of 9999", QStringLiteral("253402271999"), QStringLiteral("9999-12-31 23:59:59"));
    none("first second of 10000", QStringLiteral("253402272000"));
    row("first moment of year 1", QStringLiteral("-62135625600"), QStringLiteral("0001-01-01"));
    row("second moment of year 1", QStringLiteral("-62135625599"), QStringLiteral("0001-01-01 00:00:01"));
    none("last second of year 0", QStringLiteral("-62135625601"));
    none("huge", QStringLiteral("99999999999999999999"));
    none("huge negative", QStringLiteral("-99999999999999999999"));
    // Not a number.
    none("empty", QString());
    none("spaces", QStringLiteral("   "));
    none("word", QStringLiteral("abc"));
    none("trailing letters", QStringLiteral("12abc"));
    none("two numbers", QStringLiteral("1 2"));
    none("quoted", QStringLiteral("\"123\""));
    none("closing brace kept", QStringLiteral("1700000000}"));
    none("hexadecimal", QStringLiteral("0x10"));
    none("minus sign alone", QStringLiteral("-"));
    none("nan", QStringLiteral("nan"));
    none("infinity", QStringLiteral("inf"));

    // The result must not depend on the machine's zone or locale.
    const QByteArray ny = QByteArrayLiteral("America/New_York");
    QTest::newRow("New York, zero") << QStringLiteral("0") << ny << deflt << true
                                    << QStringLiteral("1970-01-01 08:00:00");
    QTest::newRow("New York, midnight")
        << QStringLiteral("-28800") << ny << deflt << true << QStringLiteral("1970-01-01");
    QTest::newRow("New York, typical")
        << QStringLiteral("1700000000") << ny << deflt << true << QStringLiteral("2023-11-15 06:13:20");
    // 02:30 does not exist on this day in New York (clocks skip to 03:00).
    QTest::newRow("New York, skipped hour")
        << QStringLiteral("1678559400") << ny << deflt << true << QStringLiteral("2023-03-12 02:30:00");
    // 01:30 happens twice on this day in New York.
    QTest::newRow("New York, repeated hour")
        << QStringLiteral("1699119000") << ny << deflt << true << QStringLiteral("2023-11-05 01:30:00");
    QTest::newRow("Kolkata, zero") << QStringLiteral("0") << QByteArrayLiteral("Asia/Kolkata") << deflt
                                   << true << QStringLiteral("1970-01-01 08:00:00");
    QTest::newRow("Shanghai, typical") << QStringLiteral("1700000000") << QByteArrayLiteral("Asia/Shanghai")
                                       << deflt << true << QStringLiteral("2023-11-15 06:13:20");
    QTest::newRow("German locale") << QStringLiteral("1700000000") << own << QStringLiteral("de_DE") << true
                                   << QStringLiteral("2023-11-15 06:13:20");
    QTest::newRow("Arabic locale") << QStringLiteral("1700000000") << own << QStringLiteral("ar_EG") << true
                                   << QStringLiteral("2023-11-15 06:13:20");
    QTest::newRow("Arabic locale, midnight") << QStringLiteral("1699977600") << own << QStringLiteral("ar_EG")
                                             << true << QStringLiteral("2023-11-15");
    QTest::newRow("New York, German locale") << QStringLiteral("-0.5") << ny << QStringLiteral("de_DE")
                                             << true << QStringLiteral("1970-01-01 07:59:59");
}

void SoundExtractionPiecesTest::publishTime()
{
    QFETCH(QString, createTime);
    QFETCH(QByteArray, tz);
    QFETCH(QString, locale);
    QFETCH(bool, valid);
    QFETCH(QString, text);

    EnvironmentGuard guard;
    if (!tz.isEmpty()) {
        qputenv("TZ", tz);
        tzset();
    }
    if (!locale.isEmpty())
        QLocale::setDefault(QLocale(locale));

    const std::optional<QString> result = publishTimeText(createTime);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, text);
}

void SoundExtractionPiecesTest::shortName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("8 letters") << QStringLiteral("abcdefgh") << QStringLiteral("abcdefgh");
    QTest::newRow("9 letters") << QStringLiteral("abcdefghi") << QStringLiteral("abcdefgh...");
    QTest::newRow("20 letters") << QStringLiteral("abcdefghijklmnopqrst") << QStringLiteral("abcdefgh...");
    QTest::newRow("8 CJK") << QStringLiteral("夏夜晚风翻唱一首") << QStringLiteral("夏夜晚风翻唱一首");
    QTest::newRow("9 CJK") << QStringLiteral("夏夜晚风翻唱一首歌") << QStringLiteral("夏夜晚风翻唱一首...");
    QTest::newRow("spaces count") << QStringLiteral("a b c d e") << QStringLiteral("a b c d ...");
    // Emoji take two code units each; the cut never splits one.
    QTest::newRow("3 emoji and 2 letters are 8 units")
        << Smile + Smile + Smile + QStringLiteral("ab") << Smile + Smile + Smile + QStringLiteral("ab");
    QTest::newRow("5 emoji are 10 units")
        << Smile + Smile + Smile + Smile + Smile << Smile + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("cut through an emoji ends before it")
        << QStringLiteral("a") + Smile + Smile + Smile + Smile
        << QStringLiteral("a") + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("emoji right after the cut")
        << QStringLiteral("abcdefgh") + Smile << QStringLiteral("abcdefgh...");
}

void SoundExtractionPiecesTest::shortName()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(shortSoundName(name), shown);
}

void SoundExtractionPiecesTest::shortSinger_data()
{
    QTest::addColumn<QString>("singer");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("5 letters") << QStringLiteral("abcde") << QStringLiteral("abcde");
    QTest::newRow("6 letters whole, nothing cut") << QStringLiteral("abcdef") << QStringLiteral("abcdef");
    QTest::newRow("10 letters whole, nothing cut")
        << QStringLiteral("abcdefghij") << QStringLiteral("abcdefghij");
    QTest::newRow("11 letters cut") << QStringLiteral("abcdefghijk") << QStringLiteral("abcdefghij...");
    QTest::newRow("5 CJK") << QStringLiteral("晚风小筑啊") << QStringLiteral("晚风小筑啊");
    QTest::newRow("6 CJK") << QStringLiteral("晚风小筑啊啊") << QStringLiteral("晚风小筑啊啊");
    QTest::newRow("2 emoji and a letter are 5 units")
        << Smile + Smile + QStringLiteral("a") << Smile + Smile + QStringLiteral("a");
    QTest::newRow("3 emoji are 6 units") << Smile + Smile + Smile << Smile + Smile + Smile;
    QTest::newRow("6 emoji are 12 units") << Smile + Smile + Smile + Smile + Smile + Smile
                                          << Smile + Smile + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("cut through an emoji ends before it")
        << QStringLiteral("a") + Smile + Smile + Smile + Smile + Smile
        << QStringLiteral("a") + Smile + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("9 letters and an emoji are 11 units")
        << QStringLiteral("abcdefghi") + Smile << QStringLiteral("abcdefghi...");
}

void SoundExtractionPiecesTest::shortSinger()
{
    QFETCH(QString, singer);
    QFETCH(QString, shown);
    QCOMPARE(::shortSinger(singer), shown);
}

QTEST_APPLESS_MAIN(SoundExtractionPiecesTest)
#include "sound_extraction_pieces_test.moc"
