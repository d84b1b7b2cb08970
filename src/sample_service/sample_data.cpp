// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_data.h"

#include "sample_service/sample_encodings.h"

#include <QCryptographicHash>

namespace {

SampleSound makeSound(const char *id, const QString &name, const QString &singer, const QString &introduction,
                      qint64 playCount, qint64 fanCount, qint64 shareCount, bool shareCountQuoted,
                      qint64 createTime, bool fileQuery)
{
    SampleSound sound;
    sound.id = QString::fromLatin1(id);
    sound.name = name;
    sound.singer = singer;
    sound.introduction = introduction;
    sound.playCount = playCount;
    sound.fanCount = fanCount;
    sound.shareCount = shareCount;
    sound.shareCountQuoted = shareCountQuoted;
    sound.createTime = createTime;
    sound.fileQuery = fileQuery;
    return sound;
}

QList<SampleSound> buildSounds()
{
    // Each entry covers a case the extraction code has to survive: long names,
    // spaces in singers, escaped quotes and backslashes, a quoted count, file
    // addresses without a query, times on and just before Beijing midnight.
    return {
        makeSound("1001", QStringLiteral("晨光里的小城"), QStringLiteral("苏晓棠"),
                  QStringLiteral("清晨录下的吉他小品。\n愿你今天也有好心情。"), 128450, 4321, 678, false,
                  1678757201, true),
        makeSound(
            "1002", QStringLiteral("夏夜晚风里的萤火虫之歌"), QStringLiteral(" 林 小雨"),
            QStringLiteral("第一次在夏夜的河边录音。\n蛙声、风声都留在里面了。\n喜欢的话请分享给朋友。"),
            56012, 1288, 56, true, 1622476800, false),
        makeSound("1003", QStringLiteral("雨巷"), QStringLiteral("来自远方山谷的清风乐团"),
                  QStringLiteral("翻唱自\"老歌新唱\"系列，混音版本 A\\B 对比。"), 9876543, 250000, 31234,
                  false, 1566568025, true),
        makeSound("1004", QStringLiteral("月光下的海"), QStringLiteral("周以安"),
                  QStringLiteral("钢琴独奏。"), 3021, 87, 0, false, 1581228192, false),
        makeSound("1005", QStringLiteral("故乡的云"), QStringLiteral("陈默"),
                  QStringLiteral("老家的屋顶，傍晚的炊烟。\n写给离家很久的人。"), 20480, 512, 64, false,
                  1664580658, true),
        makeSound("1006", QStringLiteral("一起去看星星吧"), QStringLiteral("何思远 & 小满"),
                  QStringLiteral("两个人的合唱，<第一版>。\n欢迎留言。"), 7777, 901, 123, false, 1671897599,
                  true),
        makeSound("1007", QStringLiteral("Little Star 小星星"), QStringLiteral("Mia Chen"),
                  QStringLiteral("儿歌改编，\n适合睡前听。\n\n——献给我的女儿"), 450123, 36000, 2048, false,
                  1716182040, false),
        makeSound("1008", QStringLiteral("归途"), QStringLiteral("张北辰"),
                  QStringLiteral("长途列车上写的歌。"), 0, 3, 0, false, 1732963357, true),
    };
}

// The service escapes as JSON does and sends every line break as \r\n.
QByteArray jsonString(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 3 + 2);
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += "\\r\\n";
            break;
        case '\n':
            out += "\\r\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c.unicode() < 0x20) {
                out += "\\u00";
                out += QByteArray::number(c.unicode(), 16).rightJustified(2, '0');
            } else {
                out += QString(c).toUtf8();
            }
        }
    }
    out += '"';
    return out;
}

QByteArray htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// Stable, so a test can compare addresses between runs.
QByteArray fileSign(const SampleSound &sound)
{
    return QCryptographicHash::hash(QByteArray(sound.id.toUtf8() + "|vexa-sample"), QCryptographicHash::Md5)
        .toHex()
        .left(16);
}

QString mediaIdOf(const SampleSound &sound)
{
    return sound.mediaId.isEmpty() ? sound.id : sound.mediaId;
}

QString filePathOf(const SampleSound &sound)
{
    return sound.filePath.isEmpty() ? QStringLiteral("/audio/") + sound.id + QStringLiteral(".wav")
                                    : sound.filePath;
}

qint64 userIdFor(const SampleSound &sound)
{
    return 88000 + (mediaIdOf(sound).toLongLong() % 1000) * 1379;
}

} // namespace

const QList<SampleSound> &sampleSounds()
{
    static const QList<SampleSound> sounds = buildSounds();
    return sounds;
}

const SampleSound *findSampleSound(const QString &id)
{
    for (const SampleSound &sound : sampleSounds()) {
        if (sound.id == id)
            return &sound;
    }
    return nullptr;
}

std::optional<SampleSound> downloadSampleSound(const QString &id)
{
    const QString prefix = QStringLiteral("file-");
    if (!id.startsWith(prefix) || id.size() == prefix.size() || id.contains(u'/'))
        return std::nullopt;
    const QString kind = id.mid(prefix.size());
    SampleSound sound = makeSound("0", QStringLiteral("下载样本 ") + kind, QStringLiteral("样本服务"),
                                  QStringLiteral("生成的下载内容。"), 1, 1, 1, false, 1700000000, true);
    sound.id = id;
    sound.filePath = QStringLiteral("/file/") + kind + QStringLiteral(".mp3");
    return sound;
}

std::optional<SampleSound> encodedSampleSound(const QString &id)
{
    const qsizetype dash = id.indexOf(u'-');
    const SampleSound *sample = dash > 0 ? findSampleSound(id.left(dash)) : nullptr;
    if (!sample)
        return std::nullopt;
    const QString kind = id.mid(dash + 1);
    QString path;
    const QString bytesPrefix = QStringLiteral("mp3-bytes-");
    if (kind == QLatin1String("fake"))
        path = QStringLiteral("/audio/%1.fake.mp3").arg(sample->id);
    else if (kind.startsWith(bytesPrefix) && kind.mid(bytesPrefix.size()).toLongLong() > 0)
        path = QStringLiteral("/audio/%1-bytes-%2.mp3").arg(sample->id, kind.mid(bytesPrefix.size()));
    else if (sampleEncodingExtensions().contains(kind))
        path = QStringLiteral("/audio/%1.%2").arg(sample->id, kind);
    else
        return std::nullopt;
    SampleSound sound = *sample;
    sound.id = id;
    sound.mediaId = sample->id;
    sound.filePath = path;
    return sound;
}

QByteArray soundInfoJson(const SampleSound &sound, const QString &baseUrl)
{
    const QByteArray base = baseUrl.toUtf8();
    QByteArray source = base + filePathOf(sound).toUtf8();
    if (sound.fileQuery)
        source += (source.contains('?') ? "&sign=" : "?sign=") + fileSign(sound) +
                  "&t=" + QByteArray::number(sound.createTime + 7 * 86400);
    const QByteArray shareCount = sound.shareCountQuoted
                                      ? QByteArray('"' + QByteArray::number(sound.shareCount) + '"')
                                      : QByteArray::number(sound.shareCount);

    // Key order matters: readers cut values by plain text search.
    QByteArray json;
    json += R"({"code":0,"info":{"sound":{"id":)" + sound.id.toUtf8();
    json += R"(,"name":)" + jsonString(sound.name);
    json += R"(,"pic_200":)" +
            jsonString(QString::fromUtf8(base + "/cover/" + mediaIdOf(sound).toUtf8() + ".png"));
    json += R"(,"source":)" + jsonString(QString::fromUtf8(source));
    json += R"(,"sound_count":)" + QByteArray::number(sound.playCount);
    json += R"(,"share_count":)" + shareCount;
    json += R"(,"create_time":)" + QByteArray::number(sound.createTime);
    json += R"(,"info":)" + jsonString(sound.introduction);
    json += R"(,"user":{"id":)" + QByteArray::number(userIdFor(sound));
    // The fan count is not last in its object, so a "," follows it as in real answers.
    json += R"(,"follow_count":)" + QByteArray::number(sound.fanCount);
    json += R"(,"name":)" + jsonString(sound.singer);
    json += "}}}}";
    return json;
}

QByteArray soundNotFoundJson(const QString &id)
{
    return R"({"code":-1,"msg":"声音不存在或已被删除","sound_id":)" + jsonString(id) + "}";
}

QByteArray soundPageHtml(const SampleSound &sound, const QString &baseUrl)
{
    const QByteArray base = htmlEscaped(baseUrl);
    QByteArray introduction = htmlEscaped(sound.introduction);
    introduction.replace('\n', "<br>\n");

    QByteArray html;
    html += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<title>" + htmlEscaped(sound.name) + " - Vexa</title>\n</head>\n<body>\n";
    html += "<h1 class=\"sound-name\">" + htmlEscaped(sound.name) + "</h1>\n";
    html += "<p class=\"singer\">" + htmlEscaped(sound.singer) + "</p>\n";
    html += "<img class=\"cover\" src=\"" + base + "/cover/" + htmlEscaped(mediaIdOf(sound)) +
            ".png\" width=\"200\" height=\"200\" alt=\"\">\n";
    html +=
        "<audio controls preload=\"none\" src=\"" + base + htmlEscaped(filePathOf(sound)) + "\"></audio>\n";
    html += "<p class=\"intro\">" + introduction + "</p>\n";
    html += "<p><a href=\"" + base + "/?wp\">返回首页</a></p>\n";
    html += "</body>\n</html>\n";
    return html;
}

QByteArray homePageHtml()
{
    // The service's markup for its recommended sounds: an h3 of class
    // voice-name holding the link to the sound page, the category link, and
    // the three counts written as the page shows them. Links are paths, as
    // the service writes them; the hot list puts its web host in front.
    struct HotPick
    {
        const char *soundId;
        const char *channelPath;
        QString channel;
        QString shares;
        QString likes;
        QString comments;
        bool upperCaseTag;
    };
    const HotPick picks[] = {
        {"1001", "/channel/folk", QStringLiteral("民谣"), QStringLiteral("678"), QStringLiteral("1.2万"),
         QStringLiteral("321"), false},
        {"1002", "/channel/nature", QStringLiteral("自然之声"), QStringLiteral("56"), QStringLiteral("1,288"),
         QStringLiteral("47"), false},
        {"1003", "/channel/cover", QStringLiteral("翻唱"), QStringLiteral("31,234"), QStringLiteral("25万"),
         QStringLiteral("12,345"), true},
        {"1004", "/channel/piano", QStringLiteral("纯音乐"), QStringLiteral("0"), QStringLiteral("87"),
         QStringLiteral("5"), false},
        {"1005", "/channel/home", QStringLiteral("乡愁"), QStringLiteral("64"), QStringLiteral("512"),
         QStringLiteral("30"), false},
        {"1006", "/channel/duet", QStringLiteral("合唱"), QStringLiteral("123"), QStringLiteral("901"),
         QStringLiteral("66"), false},
        {"1007", "/channel/kids", QStringLiteral("儿歌"), QStringLiteral("2,048"), QStringLiteral("3.6万"),
         QStringLiteral("1,024"), false},
        {"1008", "/channel/travel", QStringLiteral("旅行"), QStringLiteral("0"), QStringLiteral("3"),
         QStringLiteral("0"), false},
        {"1003", "/channel/rain", QStringLiteral("雨天"), QStringLiteral("890"), QStringLiteral("7,777"),
         QStringLiteral("210"), false},
        {"1001", "/channel/morning", QStringLiteral("清晨"), QStringLiteral("45"), QStringLiteral("600"),
         QStringLiteral("12"), false},
        {"1007", "/channel/sleep", QStringLiteral("睡前故事"), QStringLiteral("1.1万"),
         QStringLiteral("9.8万"), QStringLiteral("3,210"), false},
        {"1002", "/channel/summer", QStringLiteral("夏天"), QStringLiteral("77"), QStringLiteral("808"),
         QStringLiteral("19"), false},
        {"1005", "/channel/evening", QStringLiteral("傍晚"), QStringLiteral("9"), QStringLiteral("99"),
         QStringLiteral("4"), false},
        {"1006", "/channel/love", QStringLiteral("情歌"), QStringLiteral("300"), QStringLiteral("4,500"),
         QStringLiteral("88"), false},
        {"1004", "/channel/sea", QStringLiteral("海"), QStringLiteral("12"), QStringLiteral("150"),
         QStringLiteral("6"), false},
        {"1008", "/channel/road", QStringLiteral("在路上"), QStringLiteral("5"), QStringLiteral("50"),
         QStringLiteral("1"), false},
        {"1001", "/channel/city", QStringLiteral("城市"), QStringLiteral("8"), QStringLiteral("80"),
         QStringLiteral("2"), false},
        {"1003", "/channel/classic", QStringLiteral("经典"), QStringLiteral("2"), QStringLiteral("20"),
         QStringLiteral("0"), false},
    };

    QByteArray html;
    html += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<title>Vexa 声音分享</title>\n</head>\n<body>\n<h1>推荐声音</h1>\n<ul class=\"hot\">\n";
    for (const HotPick &pick : picks) {
        const SampleSound *sound = findSampleSound(QString::fromLatin1(pick.soundId));
        if (!sound)
            continue;
        const QByteArray name = htmlEscaped(sound->name);
        const QByteArray channelLink = pick.upperCaseTag
                                           ? QByteArray("<A HREF=\"") + pick.channelPath + "\">"
                                           : QByteArray("<a href=\"") + pick.channelPath + "\">";
        html += "<li class=\"voice\">\n<h3 class=\"voice-name\"><a href=\"/sound/" + htmlEscaped(sound->id) +
                "\" title=\"" + name + "\">" + name + "</a></h3>\n";
        html += "<p class=\"singer\">" + htmlEscaped(sound->singer) + "</p>\n";
        html += "<div class=\"category\">" + channelLink + htmlEscaped(pick.channel) + "</a></div>\n";
        html += "<span class=\"count\" title=\"分享数目\">" + htmlEscaped(pick.shares) + "</span>\n";
        html += "<span class=\"count\" title=\"喜欢数目\">" + htmlEscaped(pick.likes) + "</span>\n";
        html += "<span class=\"count\" title=\"评论数目\">" + htmlEscaped(pick.comments) + "</span>\n";
        html += "</li>\n";
    }
    html += "</ul>\n</body>\n</html>\n";
    return html;
}
