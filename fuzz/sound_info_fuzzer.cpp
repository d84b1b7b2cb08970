// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sound-info answer as the analysis takes it: decoded like a fetched body,
// cut into the record, then the two addresses judged as the main window does
// before it loads the cover or plays, copies or downloads the file. Every
// field is compared with a cut made apart from the extraction: pieces by
// splitting the whole answer, text values closed by counting backslashes and
// decoded by one regular expression, short forms by whole characters, and the
// publishing time with a calendar computed apart from Qt's.

#include "fuzz_support.h"

#include "net/web_address.h"
#include "sound/sound_extraction.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <cmath>
#include <optional>

namespace {

const QList<std::pair<const char *, QString SoundInfo::*>> Fields = {
    {"coverUrl", &SoundInfo::coverUrl},       {"fileUrl", &SoundInfo::fileUrl},
    {"soundName", &SoundInfo::soundName},     {"singer", &SoundInfo::singer},
    {"shortName", &SoundInfo::shortName},     {"shortSinger", &SoundInfo::shortSinger},
    {"playCount", &SoundInfo::playCount},     {"fanCount", &SoundInfo::fanCount},
    {"shareCount", &SoundInfo::shareCount},   {"createTime", &SoundInfo::createTime},
    {"publishTime", &SoundInfo::publishTime}, {"infoText", &SoundInfo::infoText},
};

std::optional<QString> splitPiece(const QString &text, const QString &pattern, int n)
{
    const QStringList pieces = text.split(pattern);
    return n < pieces.size() ? std::optional<QString>(pieces.at(n)) : std::nullopt;
}

QString before(const QString &text, QChar stop)
{
    const qsizetype at = text.indexOf(stop);
    return at < 0 ? QString() : text.left(at);
}

// One stretch of a decoded text: literal text, or what one escape stands for.
struct Token
{
    enum Kind { Text, Unit, Cr, Lf } kind = Text;
    QString text;
    char16_t unit = 0; // for Unit
};

// The JSON string that starts piece: it closes at the first quotation mark
// after an even run of backslashes; escapes are found by one expression and
// judged afterwards (pairs, lone halves, line breaks).
QString jsonText(const QString &piece, bool crlf)
{
    qsizetype end = -1;
    qsizetype backslashes = 0;
    for (qsizetype i = 0; i < piece.size() && end < 0; ++i) {
        if (piece.at(i) == u'"' && backslashes % 2 == 0)
            end = i;
        backslashes = piece.at(i) == u'\\' ? backslashes + 1 : 0;
    }
    if (end < 0)
        return {};
    const QString body = piece.left(end);

    static const QRegularExpression escape(QStringLiteral(R"(\\(?:u([0-9A-Fa-f]{4})|(.)))"),
                                           QRegularExpression::DotMatchesEverythingOption);
    QList<Token> tokens;
    qsizetype at = 0;
    for (auto it = escape.globalMatch(body); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedStart() > at)
            tokens.append({Token::Text, body.mid(at, match.capturedStart() - at)});
        at = match.capturedEnd();
        if (match.hasCaptured(1)) {
            const char16_t unit = char16_t(match.captured(1).toUShort(nullptr, 16));
            if (unit == 0x0D)
                tokens.append({Token::Cr});
            else if (unit == 0x0A)
                tokens.append({Token::Lf});
            else
                tokens.append({Token::Unit, {}, unit});
            continue;
        }
        const QString c = match.captured(2);
        static const QString plain = QStringLiteral("\"\\/");
        static const QString shortNames = QStringLiteral("bft");
        static const QString shortUnits = QStringLiteral("\b\f\t");
        if (c.size() == 1 && plain.contains(c))
            tokens.append({Token::Text, c});
        else if (c.size() == 1 && shortNames.contains(c))
            tokens.append({Token::Text, QString(shortUnits.at(shortNames.indexOf(c)))});
        else if (c == u"r")
            tokens.append({Token::Cr});
        else if (c == u"n")
            tokens.append({Token::Lf});
        else
            tokens.append({Token::Text, u'\\' + c});
    }
    tokens.append({Token::Text, body.mid(at)});

    QString out;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token &token = tokens.at(i);
        switch (token.kind) {
        case Token::Text:
            out += token.text;
            break;
        case Token::Cr:
            out += crlf ? QStringLiteral("\r\n") : QStringLiteral("\r");
            break;
        case Token::Lf:
            if (!crlf)
                out += u'\n';
            else if (i == 0 || tokens.at(i - 1).kind != Token::Cr)
                out += QStringLiteral("\r\n");
            break;
        case Token::Unit:
            if (QChar::isHighSurrogate(token.unit) && i + 1 < tokens.size() &&
                tokens.at(i + 1).kind == Token::Unit && QChar::isLowSurrogate(tokens.at(i + 1).unit)) {
                out += QChar(token.unit);
                out += QChar(tokens.at(++i).unit);
            } else if (QChar::isSurrogate(token.unit)) {
                out += QChar(0xFFFD);
            } else {
                out += QChar(token.unit);
            }
            break;
        }
    }
    return out;
}

// Over `over` code units: whole characters up to `keep` units, then "...".
QString shortened(const QString &text, qsizetype over, qsizetype keep)
{
    if (text.size() <= over)
        return text;
    QString out;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (out.size() + character.size() > keep)
            break;
        out += character;
    }
    return out + QStringLiteral("...");
}

// Seconds since 1970 plus eight hours as a calendar date, years 1 to 9999.
std::optional<QString> calendarTime(const QString &createTime)
{
    bool ok = false;
    const double t = createTime.trimmed().toDouble(&ok);
    // std::chrono's year holds only -32767 to 32767: beyond that its
    // calendar wraps. 4e11 s stays within it and still lies past year 9999.
    if (!ok || !std::isfinite(t) || std::abs(t) > 4e11)
        return std::nullopt;
    using namespace std::chrono;
    const sys_seconds moment{seconds(static_cast<long long>(std::floor(t)) + 8 * 3600)};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss clock{moment - day};
    if (int(date.year()) < 1 || int(date.year()) > 9999)
        return std::nullopt;
    QString text = QStringLiteral("%1-%2-%3")
                       .arg(int(date.year()), 4, 10, QChar(u'0'))
                       .arg(unsigned(date.month()), 2, 10, QChar(u'0'))
                       .arg(unsigned(date.day()), 2, 10, QChar(u'0'));
    if (clock.to_duration() != seconds(0)) {
        text += QStringLiteral(" %1:%2:%3")
                    .arg(clock.hours().count(), 2, 10, QChar(u'0'))
                    .arg(clock.minutes().count(), 2, 10, QChar(u'0'))
                    .arg(qlonglong(clock.seconds().count()), 2, 10, QChar(u'0'));
    }
    return text;
}

// The whole record cut apart from the extraction, or nullopt where it must fail.
std::optional<SoundInfo> plainCut(const QString &answer)
{
    struct Cut
    {
        QString SoundInfo::*field;
        const char *key;
        bool text;
        int piece;
    };
    const Cut cuts[] = {
        {&SoundInfo::coverUrl, "pic_200", true, 1},        {&SoundInfo::fileUrl, "source", true, 1},
        {&SoundInfo::soundName, "name", true, 1},          {&SoundInfo::singer, "name", true, 2},
        {&SoundInfo::infoText, "info", true, 1},           {&SoundInfo::playCount, "sound_count", false, 1},
        {&SoundInfo::fanCount, "follow_count", false, 1},  {&SoundInfo::shareCount, "share_count", false, 1},
        {&SoundInfo::createTime, "create_time", false, 1},
    };
    SoundInfo info;
    for (const Cut &cut : cuts) {
        const QString pattern = u'"' + QString::fromLatin1(cut.key) + (cut.text ? u"\":\"" : u"\":");
        const std::optional<QString> piece = splitPiece(answer, pattern, cut.piece);
        if (!piece)
            return std::nullopt;
        info.*cut.field =
            cut.text ? jsonText(*piece, cut.field == &SoundInfo::infoText) : before(*piece, u',');
    }
    info.fileUrl = info.fileUrl.section(u'?', 0, 0);
    info.singer.remove(u' ');
    info.shareCount.remove(u'"');
    info.createTime.remove(u'"');
    const std::optional<QString> publishTime = calendarTime(info.createTime);
    if (!publishTime)
        return std::nullopt;
    info.publishTime = *publishTime;
    info.shortName = shortened(info.soundName, 8, 8);
    info.shortSinger = shortened(info.singer, 10, 10);
    return info;
}

void checkAddress(const QString &address)
{
    if (!isWebAddress(address))
        return;
    // What the player, the picture fetch and the download receive.
    const QUrl url(address);
    FUZZ_CHECK(!url.isLocalFile(), address);
    FUZZ_CHECK(url.scheme() == u"http" || url.scheme() == u"https", address);
    FUZZ_CHECK(!url.host().isEmpty(), address);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString answer = fetchedText(fuzzBytes(data, size));
    // Whatever charset the answer names, the text is whole characters.
    FUZZ_CHECK(isValidUtf16(answer), QString());
    const SoundExtraction result = extractSoundInfo(answer);
    const std::optional<SoundInfo> expected = plainCut(answer);

    if (!result) {
        FUZZ_CHECK(!extractionFailureText(result.error()).isEmpty(), QString());
        FUZZ_CHECK(!expected, QStringLiteral("refused: ") + extractionFailureText(result.error()));
        return 0;
    }
    FUZZ_CHECK(expected, QStringLiteral("accepted, created at ") + result->createTime);
    const SoundInfo &info = *result;
    FUZZ_CHECK(info.soundId.isEmpty(), info.soundId);
    for (const auto &[name, field] : Fields) {
        const QString &value = info.*field;
        const QString &wanted = (*expected).*field;
        FUZZ_CHECK(value == wanted,
                   QStringLiteral("%1: [%2] expected [%3]").arg(QLatin1String(name), value, wanted));
        // Nothing half a character reaches the screen or --json.
        FUZZ_CHECK(isValidUtf16(value), QLatin1String(name));
    }

    checkAddress(info.coverUrl);
    checkAddress(info.fileUrl);
    return 0;
}
