// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/sound_extraction.h"

#include "util/text_cut.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>

#include <cmath>

namespace {

constexpr qint64 ShiftSeconds = 8 * 3600;
constexpr QChar Quote = u'"';
constexpr char16_t ReplacementCharacter = 0xFFFD;

// The four hexadecimal digits at text[at] as one code unit; -1 when there
// are not four.
int hexUnit(QStringView text, qsizetype at)
{
    if (at < 0 || at + 4 > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + 4; ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// "\"key\":\"": the value is a JSON string and the piece starts inside it.
QString textKeyPattern(QStringView key)
{
    return QString(Quote) + key.toString() + QStringLiteral("\":\"");
}

// "\"key\":": the piece starts right after the colon.
QString numberKeyPattern(QStringView key)
{
    return QString(Quote) + key.toString() + QStringLiteral("\":");
}

// At most length code units of text, one fewer when the last would be the
// first half of a surrogate pair.
QString leftWhole(const QString &text, qsizetype length)
{
    if (length < text.size() && length > 0 && text.at(length - 1).isHighSurrogate() &&
        text.at(length).isLowSurrogate())
        --length;
    return text.left(length);
}

} // namespace

std::optional<QString> publishTimeText(const QString &createTime)
{
    bool ok = false;
    const double t = createTime.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(t))
        return std::nullopt;

    // Years 1 to 9999 keep every date four digits wide.
    static const qint64 minSeconds =
        QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch() - ShiftSeconds;
    static const qint64 maxSeconds =
        QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC).toSecsSinceEpoch() - ShiftSeconds;
    const double whole = std::floor(t);
    if (whole < double(minSeconds) || whole > double(maxSeconds))
        return std::nullopt;

    // The shift is fixed, so compute in UTC and never in the machine's zone.
    const QDateTime moment =
        QDateTime::fromSecsSinceEpoch(static_cast<qint64>(whole) + ShiftSeconds, Qt::UTC);
    if (moment.time() == QTime(0, 0))
        return moment.toString(QStringLiteral("yyyy-MM-dd"));
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString jsonTextValue(QStringView piece, LineBreaks breaks)
{
    QString out;
    // The last thing written was an escaped \r, so an escaped \n right after
    // it belongs to the same line break.
    bool afterEscapedCr = false;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const QChar c = piece[i];
        if (c == Quote)
            return out;
        if (c != u'\\') {
            out += c;
            afterEscapedCr = false;
            continue;
        }
        if (i + 1 == piece.size())
            break;
        char16_t unit = piece[++i].unicode();
        switch (unit) {
        case u'"':
        case u'\\':
        case u'/':
            break;
        case u'b':
            unit = u'\b';
            break;
        case u'f':
            unit = u'\f';
            break;
        case u't':
            unit = u'\t';
            break;
        case u'n':
            unit = u'\n';
            break;
        case u'r':
            unit = u'\r';
            break;
        case u'u': {
            const int value = hexUnit(piece, i + 1);
            if (value < 0) {
                out += QStringLiteral("\\u");
                afterEscapedCr = false;
                continue;
            }
            i += 4;
            unit = char16_t(value);
            if (QChar::isHighSurrogate(unit)) {
                const int low = i + 2 < piece.size() && piece[i + 1] == u'\\' && piece[i + 2] == u'u'
                                    ? hexUnit(piece, i + 3)
                                    : -1;
                if (low >= 0 && QChar::isLowSurrogate(char16_t(low))) {
                    out += QChar(unit);
                    out += QChar(char16_t(low));
                    i += 6;
                    afterEscapedCr = false;
                    continue;
                }
                unit = ReplacementCharacter;
            } else if (QChar::isLowSurrogate(unit)) {
                unit = ReplacementCharacter;
            }
            break;
        }
        default: // not an escape JSON knows: kept as written
            out += u'\\';
            out += QChar(unit);
            afterEscapedCr = false;
            continue;
        }

        if (breaks == LineBreaks::CrLf && (unit == u'\r' || unit == u'\n')) {
            if (unit == u'\r' || !afterEscapedCr)
                out += QStringLiteral("\r\n");
            afterEscapedCr = unit == u'\r';
            continue;
        }
        out += QChar(unit);
        afterEscapedCr = false;
    }
    return QString(); // never closed
}

QString shortSoundName(const QString &soundName)
{
    if (soundName.size() > 8)
        return leftWhole(soundName, 8) + QStringLiteral("...");
    return soundName;
}

QString shortSinger(const QString &singer)
{
    // Up to 10 code units are shown whole; the ellipsis says that
    // something was cut, so it never follows a whole singer.
    if (singer.size() > 10)
        return leftWhole(singer, 10) + QStringLiteral("...");
    return singer;
}

namespace {

struct Key
{
    const char16_t *name;
    bool text; // a JSON string, else a number cut at the next ","
    int piece; // which occurrence of the key
    QString SoundInfo::*field;
    LineBreaks breaks = LineBreaks::AsEscaped;
};

const Key Keys[] = {
    {u"pic_200", true, 1, &SoundInfo::coverUrl},
    {u"source", true, 1, &SoundInfo::fileUrl},
    {u"name", true, 1, &SoundInfo::soundName},
    {u"name", true, 2, &SoundInfo::singer}, // the uploader follows the sound
    {u"info", true, 1, &SoundInfo::infoText, LineBreaks::CrLf},
    {u"sound_count", false, 1, &SoundInfo::playCount},
    {u"follow_count", false, 1, &SoundInfo::fanCount},
    {u"share_count", false, 1, &SoundInfo::shareCount},
    {u"create_time", false, 1, &SoundInfo::createTime},
};

} // namespace

QString extractionFailureText(const ExtractionError &error)
{
    switch (error.reason) {
    case ExtractionProblem::NoRecord:
        return QCoreApplication::translate("SoundExtraction", "未能获取音乐信息，请检查地址..");
    case ExtractionProblem::BadCreateTime:
        return QCoreApplication::translate("SoundExtraction", "创建时间 “%1” 不是秒数").arg(error.detail);
    }
    return {};
}

SoundExtraction extractSoundInfo(const QString &answer)
{
    SoundInfo info;
    for (const Key &key : Keys) {
        const QString pattern = key.text ? textKeyPattern(key.name) : numberKeyPattern(key.name);
        const std::optional<QStringView> piece = keyPiece(answer, pattern, key.piece);
        // Never which key was missing: that is no help to anybody.
        if (!piece)
            return unexpected(ExtractionProblem::NoRecord);
        info.*key.field = key.text ? jsonTextValue(*piece, key.breaks) : textBefore(*piece, u',');
    }

    if (const qsizetype query = info.fileUrl.indexOf(u'?'); query >= 0)
        info.fileUrl.truncate(query);
    info.singer.remove(u' ');
    info.shareCount.remove(Quote);
    info.createTime.remove(Quote);

    const std::optional<QString> publishTime = publishTimeText(info.createTime);
    if (!publishTime)
        return unexpected(ExtractionProblem::BadCreateTime, info.createTime);
    info.publishTime = *publishTime;

    info.shortName = shortSoundName(info.soundName);
    info.shortSinger = shortSinger(info.singer);
    return info;
}
