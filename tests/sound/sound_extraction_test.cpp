// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/sound_extraction.h"
#include "support/sound_text_samples.h"

#include <QDir>
#include <QFile>
#include <QTest>

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

const QChar Quote(0x22); // spelled as a number: moc miscounts quotation marks in raw literals

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
    QCOMPARE(result.has_value(), ok);
    if (!ok) {
        // Shown to people as it is: it never names a key of the answer.
        const QString text = extractionFailureText(result.error());
        QVERIFY(!text.isEmpty());
        QVERIFY2(!text.contains(u'"'), qPrintable(text));
        return;
    }
    QCOMPARE(result->soundId, QString()); // the analysis fills it in
    for (const auto &[name, value] : expected) {
        QString SoundInfo::*field = fieldNamed(name);
        QVERIFY2(field != nullptr, qPrintable(name));
        const QString &actual = (*result).*field;
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

} // namespace

class SoundExtractionTest : public QObject
{
    Q_OBJECT

private slots:
    void extract_data();
    void extract();
    void savedResponses_data();
    void savedResponses();
};

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
          {shortSinger, QStringLiteral("Rainsong")}});
    good("third name ends the singer piece",
         changed(raw(R"("id":55}}}})"), raw(R"("id":55},"tags":[{"name":"pop"}]}}})")),
         {{singer, QStringLiteral("Lin")}, {fanCount, QStringLiteral("9")}});

    // Singer: spaces go, then cut after 10.
    good("singer spaces at ends and inside", withSinger(QStringLiteral(" Lin  Yu ")),
         {{singer, QStringLiteral("LinYu")}, {shortSinger, QStringLiteral("LinYu")}});
    good("singer length counted without spaces", withSinger(QStringLiteral("a b c d e f")),
         {{singer, QStringLiteral("abcdef")}, {shortSinger, QStringLiteral("abcdef")}});
    good("singer spaces written as escapes go too", withSinger(raw(R"(Lin\u0020Yu)")),
         {{singer, QStringLiteral("LinYu")}});
    good("singer keeps a tab and a no-break space", withSinger(raw(R"(Lin\t Yu\u00a0Ma)")),
         {{singer, QStringLiteral("Lin\tYu\u00A0Ma")}, {shortSinger, QStringLiteral("Lin\tYu\u00A0Ma")}});
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
