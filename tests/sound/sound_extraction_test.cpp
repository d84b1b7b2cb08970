// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/sound_extraction.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <time.h>

#include <utility>

// Field name (as --json names it) and the value expected there.
using FieldValues = QList<std::pair<QString, QString>>;

namespace {

const QList<std::pair<QString, QString SoundInfo::*>> Fields = {
    {QStringLiteral("coverUrl"), &SoundInfo::coverUrl},
    {QStringLiteral("fileUrl"), &SoundInfo::fileUrl},
    {QStringLiteral("soundName"), &SoundInfo::soundName},
    {QStringLiteral("singer"), &SoundInfo::singer},
    {QStringLiteral("shortName"), &SoundInfo::shortName},
    {QStringLiteral("shortSinger"), &SoundInfo::shortSinger},
    {QStringLiteral("playCount"), &SoundInfo::playCount},
    {QStringLiteral("fanCount"), &SoundInfo::fanCount},
    {QStringLiteral("shareCount"), &SoundInfo::shareCount},
    {QStringLiteral("createTime"), &SoundInfo::createTime},
    {QStringLiteral("publishTime"), &SoundInfo::publishTime},
    {QStringLiteral("infoText"), &SoundInfo::infoText},
};

QString SoundInfo::*fieldNamed(const QString &name)
{
    for (const auto &[fieldName, field] : Fields) {
        if (fieldName == name)
            return field;
    }
    return nullptr;
}

const QString Smile = QStringLiteral("\U0001F600"); // two UTF-16 code units
const QString Replacement = QStringLiteral("\uFFFD");

const QChar Quote(0x22); // spelled as a number: moc miscounts quotation marks in raw literals

// Raw literals stay out of macro arguments, where moc cannot tokenize them.
QString raw(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// A compact answer of the service; rows derive their responses from it.
const QString Base = raw(
    R"({"code":0,"info":{"sound":{"id":1001,"name":"Rainsong","pic_200":"http://img.vexa.example/cover.png",)"
    R"("source":"http://media.vexa.example/a.mp3?x=1","sound_count":123,"share_count":4,)"
    R"("create_time":1700000000,"info":"a\r\nb","user":{"name":"Lin","follow_count":9,"id":55}}}})");

// Base with one fragment replaced; a fragment missing from the text is a typo in the test.
QString changed(const QString &from, const QString &to, const QString &text = Base)
{
    if (!text.contains(from))
        qFatal("test response lacks fragment %s", qPrintable(from));
    QString result = text;
    result.replace(from, to);
    return result;
}

QString withName(const QString &name)
{
    return changed(raw(R"("name":"Rainsong")"), raw(R"("name":")") + name + Quote);
}

QString withSinger(const QString &singer)
{
    return changed(raw(R"("name":"Lin")"), raw(R"("name":")") + singer + Quote);
}

QString withInfo(const QString &info)
{
    return changed(raw(R"("info":"a\r\nb")"), raw(R"("info":")") + info + Quote);
}

QString withSource(const QString &source)
{
    return changed(raw(R"("source":"http://media.vexa.example/a.mp3?x=1")"),
                   raw(R"("source":")") + source + Quote);
}

QString withCreateTime(const QString &value)
{
    return changed(raw(R"("create_time":1700000000,)"), raw(R"("create_time":)") + value + u',');
}

// Runs the extraction over response: a failure must give a reason and no
// record, a success the listed field values.
void checkExtraction(const QString &response, bool ok, const FieldValues &expected)
{
    const SoundExtraction result = extractSoundInfo(response);
    QCOMPARE(result.ok(), ok);
    if (!ok) {
        // Shown to people as it is: it never names a key of the answer.
        QVERIFY(!result.reason.isEmpty());
        QVERIFY2(!result.reason.contains(u'"'), qPrintable(result.reason));
        return;
    }
    QVERIFY(result.reason.isEmpty());
    QCOMPARE(result.record->soundId, QString()); // the analysis fills it in
    for (const auto &[name, value] : expected) {
        QString SoundInfo::*field = fieldNamed(name);
        QVERIFY2(field != nullptr, qPrintable(name));
        const QString &actual = (*result.record).*field;
        if (actual != value) {
            QTest::qCompare(actual, value, qPrintable(name), "expected", __FILE__, __LINE__);
            return;
        }
    }
}

// Expected files: "ok=true|false", then "field=value" lines; \r \n \t \\ are escapes.
QString unescape(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        if (next == u'r')
            out += u'\r';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else
            out += next;
    }
    return out;
}

QString readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

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

class SoundExtractionTest : public QObject
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
    void extract_data();
    void extract();
    void savedResponses_data();
    void savedResponses();
};

void SoundExtractionTest::jsonText_data()
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

void SoundExtractionTest::jsonText()
{
    QFETCH(QString, piece);
    QFETCH(bool, crlf);
    QFETCH(QString, text);
    QCOMPARE(jsonTextValue(piece, crlf ? LineBreaks::CrLf : LineBreaks::AsEscaped), text);
}

void SoundExtractionTest::publishTime_data()
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

void SoundExtractionTest::publishTime()
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

void SoundExtractionTest::shortName_data()
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

void SoundExtractionTest::shortName()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(shortSoundName(name), shown);
}

void SoundExtractionTest::shortSinger_data()
{
    QTest::addColumn<QString>("singer");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("5 letters") << QStringLiteral("abcde") << QStringLiteral("abcde");
    QTest::newRow("6 letters shown whole") << QStringLiteral("abcdef") << QStringLiteral("abcdef...");
    QTest::newRow("10 letters shown whole")
        << QStringLiteral("abcdefghij") << QStringLiteral("abcdefghij...");
    QTest::newRow("11 letters cut") << QStringLiteral("abcdefghijk") << QStringLiteral("abcdefghij...");
    QTest::newRow("5 CJK") << QStringLiteral("晚风小筑啊") << QStringLiteral("晚风小筑啊");
    QTest::newRow("6 CJK") << QStringLiteral("晚风小筑啊啊") << QStringLiteral("晚风小筑啊啊...");
    QTest::newRow("2 emoji and a letter are 5 units")
        << Smile + Smile + QStringLiteral("a") << Smile + Smile + QStringLiteral("a");
    QTest::newRow("3 emoji are 6 units")
        << Smile + Smile + Smile << Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("6 emoji are 12 units") << Smile + Smile + Smile + Smile + Smile + Smile
                                          << Smile + Smile + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("cut through an emoji ends before it")
        << QStringLiteral("a") + Smile + Smile + Smile + Smile + Smile
        << QStringLiteral("a") + Smile + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("9 letters and an emoji are 11 units")
        << QStringLiteral("abcdefghi") + Smile << QStringLiteral("abcdefghi...");
}

void SoundExtractionTest::shortSinger()
{
    QFETCH(QString, singer);
    QFETCH(QString, shown);
    QCOMPARE(::shortSinger(singer), shown);
}

void SoundExtractionTest::extract_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<FieldValues>("expected");

    auto good = [](const char *name, const QString &response, const FieldValues &expected) {
        QTest::newRow(name) << response << true << expected;
    };
    auto bad = [](const char *name, const QString &response) {
        QTest::newRow(name) << response << false << FieldValues();
    };
    const QString coverUrl = QStringLiteral("coverUrl");
    const QString fileUrl = QStringLiteral("fileUrl");
    const QString soundName = QStringLiteral("soundName");
    const QString singer = QStringLiteral("singer");
    const QString shortName = QStringLiteral("shortName");
    const QString shortSinger = QStringLiteral("shortSinger");
    const QString playCount = QStringLiteral("playCount");
    const QString fanCount = QStringLiteral("fanCount");
    const QString shareCount = QStringLiteral("shareCount");
    const QString createTime = QStringLiteral("createTime");
    const QString publishTime = QStringLiteral("publishTime");
    const QString infoText = QStringLiteral("infoText");

    // Every field of the base answer. The outer "info":{ object does not
    // match the text pattern of "info".
    good("base", Base,
         {{coverUrl, QStringLiteral("http://img.vexa.example/cover.png")},
          {fileUrl, QStringLiteral("http://media.vexa.example/a.mp3")},
          {soundName, QStringLiteral("Rainsong")},
          {singer, QStringLiteral("Lin")},
          {shortName, QStringLiteral("Rainsong")},
          {shortSinger, QStringLiteral("Lin")},
          {playCount, QStringLiteral("123")},
          {fanCount, QStringLiteral("9")},
          {shareCount, QStringLiteral("4")},
          {createTime, QStringLiteral("1700000000")},
          {publishTime, QStringLiteral("2023-11-15 06:13:20")},
          {infoText, QStringLiteral("a\r\nb")}});

    // File address: the query string goes; without one the value is whole.
    const QString plainFile = QStringLiteral("http://media.vexa.example/a.mp3");
    good("file address without a query", withSource(plainFile), {{fileUrl, plainFile}});
    good("file address without a query, a later value holds a ?",
         changed(raw(R"("info":"a\r\nb")"), raw(R"("info":"why?")"), withSource(plainFile)),
         {{fileUrl, plainFile}, {infoText, QStringLiteral("why?")}});
    good("file address without a query, a later source has one",
         changed(raw(R"("id":55})"), raw(R"("id":55,"source":"http://x.example/b.mp3?k=1"})"),
                 withSource(plainFile)),
         {{fileUrl, plainFile}});
    good("file address with two query marks", withSource(QStringLiteral("http://m.example/a.mp3?x=1?y=2")),
         {{fileUrl, QStringLiteral("http://m.example/a.mp3")}});
    good("file address with escaped slashes", withSource(raw(R"(http:\/\/m.example\/a.mp3?x=1)")),
         {{fileUrl, QStringLiteral("http://m.example/a.mp3")}});
    good("file address empty", withSource(QString()), {{fileUrl, QString()}});

    // Cover: a second pic_200 ends the piece; a value cut off is empty.
    good("second pic_200 later",
         changed(raw(R"("name":"Lin",)"), raw(R"("name":"Lin","pic_200":"http://img.vexa.example/u.png",)")),
         {{coverUrl, QStringLiteral("http://img.vexa.example/cover.png")}});
    good("cover value cut off at the end",
         raw(R"({"name":"Rainsong","source":"http://m.vexa.example/a.mp3?x=1","sound_count":1,)"
             R"("share_count":2,"create_time":0,"info":"i","user":{"name":"Lin","follow_count":3},)"
             R"("pic_200":"http://img.vexa.example/cov)"),
         {{coverUrl, QString()},
          {fanCount, QStringLiteral("3}")},
          {publishTime, QStringLiteral("1970-01-01 08:00:00")}});

    // Name and singer are the first and second "name".
    good("name of 9 CJK", withName(QStringLiteral("夏夜晚风翻唱一首歌")),
         {{soundName, QStringLiteral("夏夜晚风翻唱一首歌")},
          {shortName, QStringLiteral("夏夜晚风翻唱一首...")}});
    good("name with escapes", withName(raw(R"(Rain \"song\" \\ \u96e8)")),
         {{soundName, QStringLiteral("Rain \"song\" \\ 雨")}, {shortName, QStringLiteral("Rain \"so...")}});
    good("name of escaped emoji cut between them",
         withName(raw(R"(a\ud83d\ude00\ud83d\ude00\ud83d\ude00\ud83d\ude00)")),
         {{soundName, QStringLiteral("a") + Smile + Smile + Smile + Smile},
          {shortName, QStringLiteral("a") + Smile + Smile + Smile + QStringLiteral("...")}});
    good("name with a lone surrogate escape", withName(raw(R"(x\ud83dy)")),
         {{soundName, QStringLiteral("x") + Replacement + u'y'}});
    good("nickname key does not count as name",
         changed(raw(R"("user":{"name":"Lin",)"), raw(R"("user":{"nickname":"Nick","name":"Lin",)")),
         {{soundName, QStringLiteral("Rainsong")}, {singer, QStringLiteral("Lin")}});
    good("user before sound swaps name and singer",
         raw(R"({"code":0,"info":{"user":{"name":"Lin","follow_count":9,"id":55},)"
             R"("sound":{"name":"Rainsong","pic_200":"http://img.vexa.example/cover.png",)"
             R"("source":"http://media.vexa.example/a.mp3?x=1","sound_count":123,)"
             R"("share_count":4,"create_time":0,"info":"x"}}})"),
         {{soundName, QStringLiteral("Lin")},
          {singer, QStringLiteral("Rainsong")},
          {shortSinger, QStringLiteral("Rainsong...")}});
    good("third name ends the singer piece",
         changed(raw(R"("id":55}}}})"), raw(R"("id":55},"tags":[{"name":"pop"}]}}})")),
         {{singer, QStringLiteral("Lin")}, {fanCount, QStringLiteral("9")}});

    // Singer: spaces go, then the 5 / 10 rule.
    good("singer spaces at ends and inside", withSinger(QStringLiteral(" Lin  Yu ")),
         {{singer, QStringLiteral("LinYu")}, {shortSinger, QStringLiteral("LinYu")}});
    good("singer length counted without spaces", withSinger(QStringLiteral("a b c d e f")),
         {{singer, QStringLiteral("abcdef")}, {shortSinger, QStringLiteral("abcdef...")}});
    good("singer spaces written as escapes go too", withSinger(raw(R"(Lin\u0020Yu)")),
         {{singer, QStringLiteral("LinYu")}});
    good("singer keeps a tab and a no-break space", withSinger(raw(R"(Lin\t Yu\u00a0Ma)")),
         {{singer, QStringLiteral("Lin\tYu\u00A0Ma")}, {shortSinger, QStringLiteral("Lin\tYu\u00A0Ma...")}});
    good("singer of spaces only", withSinger(QStringLiteral("   ")),
         {{singer, QString()}, {shortSinger, QString()}});
    good("singer cut through an emoji",
         withSinger(QStringLiteral("a") + Smile + Smile + Smile + Smile + Smile),
         {{shortSinger, QStringLiteral("a") + Smile + Smile + Smile + Smile + QStringLiteral("...")}});
    good("singer with an escaped quote", withSinger(raw(R"(The \"Band\")")),
         {{singer, QStringLiteral("The\"Band\"")}});

    // Introduction: escapes decoded, each escaped line break one "\r\n".
    good("intro with two line breaks", withInfo(raw(R"(a\r\nb\r\nc)")),
         {{infoText, QStringLiteral("a\r\nb\r\nc")}});
    good("intro with lone \\n and \\r", withInfo(raw(R"(a\nb\rc)")),
         {{infoText, QStringLiteral("a\r\nb\r\nc")}});
    good("intro with an escaped quote", withInfo(raw(R"(say \"hi\" now)")),
         {{infoText, QStringLiteral("say \"hi\" now")}, {fanCount, QStringLiteral("9")}});
    good("intro with other escapes", withInfo(raw(R"(a\tb\u4e2d\/)")),
         {{infoText, QStringLiteral("a\tb中/")}});
    good("intro empty", withInfo(QString()), {{infoText, QString()}});

    // Counts as written: play and fan counts keep quotation marks.
    good("quoted counts",
         changed(raw(R"("sound_count":123,"share_count":4,)"),
                 raw(R"("sound_count":"123","share_count":"4",)"),
                 changed(raw(R"("follow_count":9,)"), raw(R"("follow_count":"9",)"))),
         {{playCount, raw(R"("123")")}, {fanCount, raw(R"("9")")}, {shareCount, QStringLiteral("4")}});
    good("play count last in its object",
         changed(raw(R"("sound_count":123,)"), raw(R"("stats":{"sound_count":123},)")),
         {{playCount, QStringLiteral("123}")}});
    good("quoted share count last in its object",
         changed(raw(R"("share_count":4,)"), raw(R"("shares":{"share_count":"4"},)")),
         {{shareCount, QStringLiteral("4}")}});
    good("fan count with no comma after it",
         changed(raw(R"("follow_count":9,"id":55}}}})"), raw(R"("id":55,"follow_count":9}}}})")),
         {{fanCount, QString()}});
    good("space after the colon of a number",
         changed(raw(R"("sound_count":123,)"), raw(R"("sound_count": 123,)")),
         {{playCount, QStringLiteral(" 123")}});
    good("escapes in a quoted count stay",
         changed(raw(R"("sound_count":123,)"), raw(R"("sound_count":"1\u0032",)")),
         {{playCount, raw(R"("1\u0032")")}});

    // Creation time: quotation marks go, then the +8 h rule.
    good("create time quoted", withCreateTime(raw(R"("1700000000")")),
         {{createTime, QStringLiteral("1700000000")}, {publishTime, QStringLiteral("2023-11-15 06:13:20")}});
    good("create time minus eight hours is midnight", withCreateTime(QStringLiteral("-28800")),
         {{createTime, QStringLiteral("-28800")}, {publishTime, QStringLiteral("1970-01-01")}});
    good("create time fraction", withCreateTime(QStringLiteral("-0.5")),
         {{publishTime, QStringLiteral("1970-01-01 07:59:59")}});
    good("create time after a space", withCreateTime(QStringLiteral(" 86400")),
         {{createTime, QStringLiteral(" 86400")}, {publishTime, QStringLiteral("1970-01-02 08:00:00")}});

    // Failures: a key pattern missing or an unreadable creation time.
    bad("empty response", QString());
    bad("error answer", raw(R"({"code":404,"info":"sound not found"})"));
    bad("name once", changed(raw(R"("user":{"name":"Lin",)"), raw(R"("user":{"nick":"Lin",)")));
    bad("second name is only a nickname",
        changed(raw(R"("user":{"name":"Lin",)"), raw(R"("user":{"nickname":"Lin",)")));
    bad("second name capitalised", changed(raw(R"("name":"Lin")"), raw(R"("Name":"Lin")")));
    bad("no pic_200", changed(raw(R"("pic_200":)"), raw(R"("pic_100":)")));
    bad("no source", changed(raw(R"("source":)"), raw(R"("src":)")));
    bad("no info text", changed(raw(R"("info":"a\r\nb")"), raw(R"("intro":"a\r\nb")")));
    bad("info is not a string", changed(raw(R"("info":"a\r\nb")"), raw(R"("info":null)")));
    bad("no sound_count", changed(raw(R"("sound_count":)"), raw(R"("play_count":)")));
    bad("no follow_count", changed(raw(R"("follow_count":)"), raw(R"("fans":)")));
    bad("no share_count", changed(raw(R"("share_count":)"), raw(R"("shares":)")));
    bad("no create_time", changed(raw(R"("create_time":)"), raw(R"("created":)")));
    bad("key written with an escape", changed(raw(R"("source":)"), raw(R"("sourc\u0065":)")));
    bad("space before the colon of create_time",
        changed(raw(R"("create_time":)"), raw(R"("create_time" :)")));
    bad("space after the colon of a text", changed(raw(R"("pic_200":")"), raw(R"("pic_200": ")")));
    bad("create time is a word", withCreateTime(raw(R"("soon")")));
    bad("create time is null", withCreateTime(QStringLiteral("null")));
    bad("create time with letters", withCreateTime(QStringLiteral("12abc")));
    bad("create time last in its object",
        changed(raw(R"("create_time":1700000000,)"), raw(R"("t":{"create_time":1700000000},)")));
}

void SoundExtractionTest::extract()
{
    QFETCH(QString, response);
    QFETCH(bool, ok);
    QFETCH(FieldValues, expected);
    checkExtraction(response, ok, expected);
}

void SoundExtractionTest::savedResponses_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<QString>("expectedText");

    const QDir dir(QStringLiteral(VEXA_TEST_DATA_DIR "/sound_info"));
    const QStringList files = dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    QVERIFY2(files.size() >= 5, qPrintable(dir.path()));
    for (const QString &file : files) {
        QString response = readUtf8(dir.filePath(file));
        // An editor's final line break is not part of the saved answer.
        if (response.endsWith(u'\n'))
            response.chop(1);
        const QString expectedName = file.chopped(5) + QStringLiteral(".expected");
        QTest::newRow(qPrintable(file)) << response << readUtf8(dir.filePath(expectedName));
    }
}

void SoundExtractionTest::savedResponses()
{
    QFETCH(QString, response);
    QFETCH(QString, expectedText);

    QVERIFY2(!expectedText.isEmpty(), "missing or empty .expected file");
    std::optional<bool> ok;
    FieldValues expected;
    for (const QString &line : expectedText.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        QVERIFY2(eq > 0, qPrintable(line));
        const QString key = line.left(eq);
        const QString value = unescape(line.mid(eq + 1));
        if (key == QStringLiteral("ok"))
            ok = value == QStringLiteral("true");
        else
            expected.append({key, value});
    }
    QVERIFY2(ok.has_value(), "no ok= line");
    // A successful file states every field.
    if (*ok)
        QCOMPARE(expected.size(), Fields.size());
    checkExtraction(response, *ok, expected);
}

QTEST_APPLESS_MAIN(SoundExtractionTest)
#include "sound_extraction_test.moc"
