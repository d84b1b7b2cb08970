#include "sound/sound_extraction.h"
#include "sound/work_slots.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <time.h>

#include <algorithm>
#include <utility>

using SlotValues = QList<std::pair<int, QString>>;

namespace {

// Slots an extraction writes; every other slot must never change.
const QList<int> UsedSlots = {4,  5,  6,  7,  8,  9,  14, 15, 17, 18, 19,
                              24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 35};

const QString Smile = QStringLiteral("\U0001F600"); // two UTF-16 code units
const QChar SmileHigh = QChar(0xD83D);              // its first code unit alone

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
    return changed(raw(R"("name":"Rainsong")"), raw(R"("name":")") + name + u'"');
}

QString withSinger(const QString &singer)
{
    return changed(raw(R"("name":"Lin")"), raw(R"("name":")") + singer + u'"');
}

QString withInfo(const QString &info)
{
    return changed(raw(R"("info":"a\r\nb")"), raw(R"("info":")") + info + u'"');
}

QString withCreateTime(const QString &value)
{
    return changed(raw(R"("create_time":1700000000,)"), raw(R"("create_time":)") + value + u',');
}

QString oldValue(int slot)
{
    return QStringLiteral("old %1").arg(slot);
}

// Every slot holds a distinct earlier value, so any write shows.
WorkSlots prefilled(const QString &response)
{
    WorkSlots table;
    for (int i = 0; i < WorkSlots::Count; ++i)
        table[i] = oldValue(i);
    table[RawResponseSlot] = response;
    return table;
}

// Runs the extraction over response and checks the all-or-nothing contract;
// on success also the listed slot values.
void checkExtraction(const QString &response, bool ok, const SlotValues &expected)
{
    WorkSlots table = prefilled(response);
    const ExtractionResult result = ExtractSoundInfo(table);

    QCOMPARE(result.ok, ok);
    QCOMPARE(table[RawResponseSlot], response);
    QCOMPARE(table[SoundIdSlot], oldValue(SoundIdSlot));

    if (!ok) {
        QVERIFY(!result.error.isEmpty());
        for (int i = 2; i < WorkSlots::Count; ++i)
            QVERIFY2(table[i] == oldValue(i),
                     qPrintable(QStringLiteral("slot %1 changed on failure").arg(i)));
        return;
    }

    for (int i = 2; i < WorkSlots::Count; ++i) {
        if (!UsedSlots.contains(i))
            QVERIFY2(table[i] == oldValue(i), qPrintable(QStringLiteral("unused slot %1 written").arg(i)));
    }
    for (const auto &[slot, value] : expected) {
        if (table[slot] != value) {
            const QString message = QStringLiteral("slot %1").arg(slot);
            QTest::qCompare(table[slot], value, qPrintable(message), "expected", __FILE__, __LINE__);
            return;
        }
    }
}

// Expected files: "ok=true|false", then "slot=value" lines; \r \n \t \\ are escapes.
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
    void keyPiece_data();
    void keyPiece();
    void textBefore_data();
    void textBefore();
    void keyPatterns_data();
    void keyPatterns();
    void publishTime_data();
    void publishTime();
    void shortName_data();
    void shortName();
    void shortSinger_data();
    void shortSinger();
    void extract_data();
    void extract();
    void failureKeepsPreviousRecord();
    void savedResponses_data();
    void savedResponses();
    void soundInfoFromSlots();
};

void SoundExtractionTest::keyPiece_data()
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
    QTest::newRow("adjacent occurrences, between") << QStringLiteral("aXXb") << x << 1 << true << QString();
    QTest::newRow("adjacent occurrences, after")
        << QStringLiteral("aXXb") << x << 2 << true << QStringLiteral("b");
    QTest::newRow("text is the pattern, piece 1") << x << x << 1 << true << QString();
    QTest::newRow("text is the pattern, piece 2") << x << x << 2 << false << QString();
    QTest::newRow("case-sensitive") << QStringLiteral("aXb") << QStringLiteral("x") << 1 << false
                                    << QString();
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

void SoundExtractionTest::keyPiece()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, n);
    QFETCH(bool, exists);
    QFETCH(QString, piece);

    const std::optional<QString> result = KeyPiece(text, pattern, n);
    QCOMPARE(result.has_value(), exists);
    if (exists)
        QCOMPARE(*result, piece);
}

void SoundExtractionTest::textBefore_data()
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

void SoundExtractionTest::textBefore()
{
    QFETCH(QString, piece);
    QFETCH(QChar, stop);
    QFETCH(QString, before);
    QCOMPARE(TextBefore(piece, stop), before);
}

void SoundExtractionTest::keyPatterns_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("textPattern");
    QTest::addColumn<QString>("numberPattern");

    QTest::newRow("name") << QStringLiteral("name") << raw(R"("name":")") << raw(R"("name":)");
    QTest::newRow("create_time") << QStringLiteral("create_time") << raw(R"("create_time":")")
                                 << raw(R"("create_time":)");
}

void SoundExtractionTest::keyPatterns()
{
    QFETCH(QString, key);
    QFETCH(QString, textPattern);
    QFETCH(QString, numberPattern);
    QCOMPARE(TextKeyPattern(key), textPattern);
    QCOMPARE(NumberKeyPattern(key), numberPattern);
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

    const std::optional<QString> result = PublishTimeText(createTime);
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
    // Emoji take two code units each.
    QTest::newRow("3 emoji and 2 letters are 8 units")
        << Smile + Smile + Smile + QStringLiteral("ab") << Smile + Smile + Smile + QStringLiteral("ab");
    QTest::newRow("5 emoji are 10 units")
        << Smile + Smile + Smile + Smile + Smile << Smile + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("cut through an emoji")
        << QStringLiteral("a") + Smile + Smile + Smile + Smile
        << QStringLiteral("a") + Smile + Smile + Smile + SmileHigh + QStringLiteral("...");
}

void SoundExtractionTest::shortName()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(ShortSoundName(name), shown);
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
    QTest::newRow("12 letters cut") << QStringLiteral("abcdefghijkl") << QStringLiteral("abcdefghij...");
    QTest::newRow("5 CJK") << QStringLiteral("晚风小筑啊") << QStringLiteral("晚风小筑啊");
    QTest::newRow("6 CJK") << QStringLiteral("晚风小筑啊啊") << QStringLiteral("晚风小筑啊啊...");
    QTest::newRow("2 emoji and a letter are 5 units")
        << Smile + Smile + QStringLiteral("a") << Smile + Smile + QStringLiteral("a");
    QTest::newRow("3 emoji are 6 units")
        << Smile + Smile + Smile << Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("6 emoji are 12 units") << Smile + Smile + Smile + Smile + Smile + Smile
                                          << Smile + Smile + Smile + Smile + Smile + QStringLiteral("...");
    QTest::newRow("cut through an emoji")
        << QStringLiteral("a") + Smile + Smile + Smile + Smile + Smile
        << QStringLiteral("a") + Smile + Smile + Smile + Smile + SmileHigh + QStringLiteral("...");
}

void SoundExtractionTest::shortSinger()
{
    QFETCH(QString, singer);
    QFETCH(QString, shown);
    QCOMPARE(ShortSinger(singer), shown);
}

void SoundExtractionTest::extract_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<SlotValues>("expected");

    auto good = [](const char *name, const QString &response, const SlotValues &expected) {
        QTest::newRow(name) << response << true << expected;
    };
    auto bad = [](const char *name, const QString &response) {
        QTest::newRow(name) << response << false << SlotValues();
    };

    // Everything the base response yields, pieces included. The outer
    // "info":{ object does not match the text pattern of "info".
    good("base", Base,
         {
             {4, raw(R"(http://img.vexa.example/cover.png","source":"http://media.vexa.example/a.mp3?x=1",)"
                     R"("sound_count":123,"share_count":4,"create_time":1700000000,"info":"a\r\nb",)"
                     R"("user":{"name":"Lin","follow_count":9,"id":55}}}})")},
             {5, QStringLiteral("http://img.vexa.example/cover.png")},
             {6, raw(R"(http://media.vexa.example/a.mp3?x=1","sound_count":123,"share_count":4,)"
                     R"("create_time":1700000000,"info":"a\r\nb","user":{"name":"Lin",)"
                     R"("follow_count":9,"id":55}}}})")},
             {7, QStringLiteral("http://media.vexa.example/a.mp3")},
             {8, raw(R"(Rainsong","pic_200":"http://img.vexa.example/cover.png",)"
                     R"("source":"http://media.vexa.example/a.mp3?x=1","sound_count":123,"share_count":4,)"
                     R"("create_time":1700000000,"info":"a\r\nb","user":{)")},
             {9, QStringLiteral("Rainsong")},
             {14, raw(R"(Lin","follow_count":9,"id":55}}}})")},
             {15, QStringLiteral("Lin")},
             {17, raw(R"(a\r\nb","user":{"name":"Lin","follow_count":9,"id":55}}}})")},
             {18, raw(R"(a\r\nb)")},
             {19, QStringLiteral("Rainsong")},
             {24, raw(R"(123,"share_count":4,"create_time":1700000000,"info":"a\r\nb",)"
                      R"("user":{"name":"Lin","follow_count":9,"id":55}}}})")},
             {25, QStringLiteral("123")},
             {26, raw(R"(9,"id":55}}}})")},
             {27, QStringLiteral("9")},
             {28, raw(R"(4,"create_time":1700000000,"info":"a\r\nb",)"
                      R"("user":{"name":"Lin","follow_count":9,"id":55}}}})")},
             {29, QStringLiteral("4")},
             {30, raw(R"(1700000000,"info":"a\r\nb","user":{"name":"Lin","follow_count":9,"id":55}}}})")},
             {31, QStringLiteral("1700000000")},
             {32, QStringLiteral("2023-11-15 06:13:20")},
             {33, QStringLiteral("Lin")},
             {35, QStringLiteral("a\r\nb")},
         });

    // File address.
    const QString noQuery = changed(raw(R"("source":"http://media.vexa.example/a.mp3?x=1")"),
                                    raw(R"("source":"http://media.vexa.example/a.mp3")"));
    good("file address, later value holds a ?",
         changed(raw(R"("info":"a\r\nb")"), raw(R"("info":"why?")"), noQuery),
         {{7, raw(R"(http://media.vexa.example/a.mp3","sound_count":123,"share_count":4,)"
                  R"("create_time":1700000000,"info":"why)")},
          {18, QStringLiteral("why?")},
          {35, QStringLiteral("why?")}});
    good("file address, no ? anywhere after", noQuery, {{7, QString()}});
    good("file address, ? only after the next source pattern",
         changed(raw(R"("id":55})"), raw(R"("id":55,"source":"http://x.example/b.mp3?k=1"})"), noQuery),
         {{6, raw(R"(http://media.vexa.example/a.mp3","sound_count":123,"share_count":4,)"
                  R"("create_time":1700000000,"info":"a\r\nb","user":{"name":"Lin",)"
                  R"("follow_count":9,"id":55,)")},
          {7, QString()}});
    good("file address, two query marks",
         changed(QStringLiteral("a.mp3?x=1"), QStringLiteral("a.mp3?x=1?y=2")),
         {{7, QStringLiteral("http://media.vexa.example/a.mp3")}});

    // Cover: a second pic_200 ends the piece; a value cut off has no stop.
    good("cover piece ends at the next pic_200",
         changed(raw(R"("name":"Lin",)"), raw(R"("name":"Lin","pic_200":"http://img.vexa.example/u.png",)")),
         {{4, raw(R"(http://img.vexa.example/cover.png","source":"http://media.vexa.example/a.mp3?x=1",)"
                  R"("sound_count":123,"share_count":4,"create_time":1700000000,"info":"a\r\nb",)"
                  R"("user":{"name":"Lin",)")},
          {5, QStringLiteral("http://img.vexa.example/cover.png")}});
    good("cover value cut off at the end",
         raw(R"({"name":"Rainsong","source":"http://m.vexa.example/a.mp3?x=1","sound_count":1,)"
             R"("share_count":2,"create_time":0,"info":"i","user":{"name":"Lin","follow_count":3},)"
             R"("pic_200":"http://img.vexa.example/cov)"),
         {{4, QStringLiteral("http://img.vexa.example/cov")},
          {5, QString()},
          {27, QStringLiteral("3}")},
          {32, QStringLiteral("1970-01-01 08:00:00")}});

    // Name.
    good("name of 8", withName(QStringLiteral("abcdefgh")),
         {{9, QStringLiteral("abcdefgh")}, {19, QStringLiteral("abcdefgh")}});
    good("name of 9", withName(QStringLiteral("abcdefghi")),
         {{9, QStringLiteral("abcdefghi")}, {19, QStringLiteral("abcdefgh...")}});
    good("name of 9 CJK", withName(QStringLiteral("夏夜晚风翻唱一首歌")),
         {{9, QStringLiteral("夏夜晚风翻唱一首歌")}, {19, QStringLiteral("夏夜晚风翻唱一首...")}});
    good("name of 5 emoji", withName(Smile + Smile + Smile + Smile + Smile),
         {{19, Smile + Smile + Smile + Smile + QStringLiteral("...")}});
    good("name of 4 emoji", withName(Smile + Smile + Smile + Smile), {{19, Smile + Smile + Smile + Smile}});
    good("nickname key does not count as name",
         changed(raw(R"("user":{"name":"Lin",)"), raw(R"("user":{"nickname":"Nick","name":"Lin",)")),
         {{9, QStringLiteral("Rainsong")}, {15, QStringLiteral("Lin")}});
    good("user before sound swaps name and singer",
         raw(R"({"code":0,"info":{"user":{"name":"Lin","follow_count":9,"id":55},)"
             R"("sound":{"name":"Rainsong","pic_200":"http://img.vexa.example/cover.png",)"
             R"("source":"http://media.vexa.example/a.mp3?x=1","sound_count":123,)"
             R"("share_count":4,"create_time":0,"info":"x"}}})"),
         {{9, QStringLiteral("Lin")},
          {19, QStringLiteral("Lin")},
          {15, QStringLiteral("Rainsong")},
          {33, QStringLiteral("Rainsong...")}});
    good("third name ends the singer piece",
         changed(raw(R"("id":55}}}})"), raw(R"("id":55},"tags":[{"name":"pop"}]}}})")),
         {{14, raw(R"(Lin","follow_count":9,"id":55},"tags":[{)")},
          {15, QStringLiteral("Lin")},
          {26, raw(R"(9,"id":55},"tags":[{"name":"pop"}]}}})")},
          {27, QStringLiteral("9")}});

    // Singer.
    good("singer of 5", withSinger(QStringLiteral("abcde")),
         {{15, QStringLiteral("abcde")}, {33, QStringLiteral("abcde")}});
    good("singer of 6", withSinger(QStringLiteral("abcdef")),
         {{15, QStringLiteral("abcdef")}, {33, QStringLiteral("abcdef...")}});
    good("singer of 12", withSinger(QStringLiteral("abcdefghijkl")),
         {{15, QStringLiteral("abcdefghijkl")}, {33, QStringLiteral("abcdefghij...")}});
    good("singer spaces at ends and inside", withSinger(QStringLiteral(" Lin  Yu ")),
         {{14, raw(R"( Lin  Yu ","follow_count":9,"id":55}}}})")},
          {15, QStringLiteral("LinYu")},
          {33, QStringLiteral("LinYu")}});
    good("singer length counted without spaces", withSinger(QStringLiteral("a b c d e f")),
         {{15, QStringLiteral("abcdef")}, {33, QStringLiteral("abcdef...")}});
    good("singer keeps a tab", withSinger(QStringLiteral(" Lin\t Yu ")),
         {{15, QStringLiteral("Lin\tYu")}, {33, QStringLiteral("Lin\tYu...")}});
    good("singer keeps a no-break space", withSinger(QStringLiteral("Lin\u00A0Yu")),
         {{15, QStringLiteral("Lin\u00A0Yu")}, {33, QStringLiteral("Lin\u00A0Yu...")}});
    good("singer of spaces only", withSinger(QStringLiteral("   ")), {{15, QString()}, {33, QString()}});
    good("singer of 3 emoji", withSinger(Smile + Smile + Smile),
         {{33, Smile + Smile + Smile + QStringLiteral("...")}});
    good("singer of 2 emoji and a letter", withSinger(Smile + Smile + QStringLiteral("a")),
         {{33, Smile + Smile + QStringLiteral("a")}});
    good("singer cut through an emoji",
         withSinger(QStringLiteral("a") + Smile + Smile + Smile + Smile + Smile),
         {{33, QStringLiteral("a") + Smile + Smile + Smile + Smile + SmileHigh + QStringLiteral("...")}});

    // Introduction: only \r and \n escapes are touched.
    good("intro with two line breaks", withInfo(raw(R"(a\r\nb\r\nc)")),
         {{18, raw(R"(a\r\nb\r\nc)")}, {35, QStringLiteral("a\r\nb\r\nc")}});
    good("intro ended by an escaped quote", withInfo(raw(R"(say \"hi\" now)")),
         {{17, raw(R"(say \"hi\" now","user":{"name":"Lin","follow_count":9,"id":55}}}})")},
          {18, raw(R"(say \)")},
          {35, raw(R"(say \)")}});
    good("intro lone \\n removed", withInfo(raw(R"(line1\nline2)")),
         {{18, raw(R"(line1\nline2)")}, {35, QStringLiteral("line1line2")}});
    good("intro lone \\r is a line break", withInfo(raw(R"(a\rb)")), {{35, QStringLiteral("a\r\nb")}});
    good("intro other escapes kept", withInfo(raw(R"(a\tb\u4e2d\/)")), {{35, raw(R"(a\tb\u4e2d\/)")}});
    // \r is replaced before \n is removed, each in one pass.
    good("intro escaped backslash before n and r", withInfo(raw(R"(x\\nr)")), {{35, raw(R"(x\r)")}});
    good("intro escaped backslash before r", withInfo(raw(R"(a\\rb)")), {{35, QStringLiteral("a\\\r\nb")}});
    good("intro removal is one pass", withInfo(raw(R"(x\\nny)")), {{35, raw(R"(x\ny)")}});
    good("intro empty", withInfo(QString()), {{18, QString()}, {35, QString()}});

    // Counts.
    good("quoted counts",
         changed(raw(R"("sound_count":123,"share_count":4,)"),
                 raw(R"("sound_count":"123","share_count":"4",)"),
                 changed(raw(R"("follow_count":9,)"), raw(R"("follow_count":"9",)"))),
         {{25, raw(R"("123")")}, {27, raw(R"("9")")}, {29, QStringLiteral("4")}});
    good("play count last in its object",
         changed(raw(R"("sound_count":123,)"), raw(R"("stats":{"sound_count":123},)")),
         {{25, QStringLiteral("123}")}});
    good("quoted share count last in its object",
         changed(raw(R"("share_count":4,)"), raw(R"("shares":{"share_count":"4"},)")),
         {{29, QStringLiteral("4}")}});
    good("fan count last in its object",
         changed(raw(R"("follow_count":9,"id":55}}}})"), raw(R"("id":55,"follow_count":9},"tags":[]}}})")),
         {{26, raw(R"(9},"tags":[]}}})")}, {27, QStringLiteral("9}")}});
    good("fan count with no comma after it",
         changed(raw(R"("follow_count":9,"id":55}}}})"), raw(R"("id":55,"follow_count":9}}}})")),
         {{26, QStringLiteral("9}}}}")}, {27, QString()}});
    good("space after the colon of a number",
         changed(raw(R"("sound_count":123,)"), raw(R"("sound_count": 123,)")),
         {{25, QStringLiteral(" 123")}});
    good("null count", changed(raw(R"("sound_count":123,)"), raw(R"("sound_count":null,)")),
         {{25, QStringLiteral("null")}});

    // Creation time.
    good("create time 0", withCreateTime(QStringLiteral("0")),
         {{31, QStringLiteral("0")}, {32, QStringLiteral("1970-01-01 08:00:00")}});
    good("create time one day", withCreateTime(QStringLiteral("86400")),
         {{32, QStringLiteral("1970-01-02 08:00:00")}});
    good("create time minus eight hours", withCreateTime(QStringLiteral("-28800")),
         {{31, QStringLiteral("-28800")}, {32, QStringLiteral("1970-01-01")}});
    good("create time quoted", withCreateTime(raw(R"("1700000000")")),
         {{30, raw(R"("1700000000","info":"a\r\nb","user":{"name":"Lin","follow_count":9,"id":55}}}})")},
          {31, QStringLiteral("1700000000")},
          {32, QStringLiteral("2023-11-15 06:13:20")}});
    good("create time fraction", withCreateTime(QStringLiteral("-0.5")),
         {{31, QStringLiteral("-0.5")}, {32, QStringLiteral("1970-01-01 07:59:59")}});
    good("create time after a space", withCreateTime(QStringLiteral(" 86400")),
         {{31, QStringLiteral(" 86400")}, {32, QStringLiteral("1970-01-02 08:00:00")}});

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
    bad("space before the colon of create_time",
        changed(raw(R"("create_time":)"), raw(R"("create_time" :)")));
    bad("space after the colon of a text", changed(raw(R"("pic_200":")"), raw(R"("pic_200": ")")));
    bad("create time is a word", withCreateTime(raw(R"("soon")")));
    bad("create time is null", withCreateTime(QStringLiteral("null")));
    bad("create time with letters", withCreateTime(QStringLiteral("12abc")));
    bad("create time last in its object",
        changed(raw(R"("create_time":1700000000,)"), raw(R"("t":{"create_time":1700000000},)")));
    bad("create time with no comma after it",
        changed(raw(R"("create_time":1700000000,)"), QString(),
                changed(raw(R"("id":55}}}})"), raw(R"("id":55},"create_time":1700000000}}})"))));
}

void SoundExtractionTest::extract()
{
    QFETCH(QString, response);
    QFETCH(bool, ok);
    QFETCH(SlotValues, expected);
    checkExtraction(response, ok, expected);
}

void SoundExtractionTest::failureKeepsPreviousRecord()
{
    WorkSlots table = prefilled(Base);
    QVERIFY(ExtractSoundInfo(table).ok);
    const WorkSlots afterSuccess = table;

    table[RawResponseSlot] = raw(R"({"code":500,"msg":"busy"})");
    const ExtractionResult result = ExtractSoundInfo(table);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());

    table[RawResponseSlot] = Base;
    QVERIFY(table == afterSuccess);
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
    SlotValues expected;
    for (const QString &line : expectedText.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        QVERIFY2(eq > 0, qPrintable(line));
        const QString key = line.left(eq);
        const QString value = unescape(line.mid(eq + 1));
        if (key == QStringLiteral("ok")) {
            ok = value == QStringLiteral("true");
            continue;
        }
        bool isNumber = false;
        const int slot = key.toInt(&isNumber);
        QVERIFY2(isNumber && UsedSlots.contains(slot), qPrintable(line));
        expected.append({slot, value});
    }
    QVERIFY2(ok.has_value(), "no ok= line");
    if (*ok) {
        // A successful file states every slot the extraction writes.
        for (int slot : UsedSlots) {
            const bool listed = std::any_of(expected.cbegin(), expected.cend(),
                                            [slot](const auto &entry) { return entry.first == slot; });
            QVERIFY2(listed, qPrintable(QStringLiteral("slot %1 not listed").arg(slot)));
        }
    }
    checkExtraction(response, *ok, expected);
}

void SoundExtractionTest::soundInfoFromSlots()
{
    WorkSlots table;
    for (int i = 0; i < WorkSlots::Count; ++i)
        table[i] = QStringLiteral("s%1").arg(i);

    const SoundInfo info = SoundInfo::fromSlots(table);
    QCOMPARE(info.soundId, QStringLiteral("s0"));
    QCOMPARE(info.rawResponse, QStringLiteral("s1"));
    QCOMPARE(info.coverUrl, QStringLiteral("s5"));
    QCOMPARE(info.fileUrl, QStringLiteral("s7"));
    QCOMPARE(info.soundName, QStringLiteral("s9"));
    QCOMPARE(info.singer, QStringLiteral("s15"));
    QCOMPARE(info.infoRaw, QStringLiteral("s18"));
    QCOMPARE(info.shortName, QStringLiteral("s19"));
    QCOMPARE(info.playCount, QStringLiteral("s25"));
    QCOMPARE(info.fanCount, QStringLiteral("s27"));
    QCOMPARE(info.shareCount, QStringLiteral("s29"));
    QCOMPARE(info.createTime, QStringLiteral("s31"));
    QCOMPARE(info.publishTime, QStringLiteral("s32"));
    QCOMPARE(info.shortSinger, QStringLiteral("s33"));
    QCOMPARE(info.infoText, QStringLiteral("s35"));
}

QTEST_APPLESS_MAIN(SoundExtractionTest)
#include "sound_extraction_test.moc"
