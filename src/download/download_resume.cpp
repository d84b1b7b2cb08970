// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_resume.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimeZone>

namespace {

const QByteArray PartInfoTag = QByteArrayLiteral("vexa-part 1");
// The same with the front room's size on a line of its own.
const QByteArray PartInfoWithRoomTag = QByteArrayLiteral("vexa-part 2");
// The same with the sound's id on a line after the front room's.
const QByteArray PartInfoOfSoundTag = QByteArrayLiteral("vexa-part 3");

QDateTime httpDate(const QByteArray &text)
{
    QDateTime time = QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()),
                                             QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    time.setTimeZone(QTimeZone::utc());
    return time;
}

} // namespace

std::optional<ContentRange> parseContentRange(const QByteArray &value)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*bytes\s+(\d{1,18})-(\d{1,18})/(\d{1,18}|\*)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(value));
    if (!match.hasMatch())
        return std::nullopt;
    ContentRange range;
    range.start = match.captured(1).toLongLong();
    range.end = match.captured(2).toLongLong();
    range.total = match.captured(3) == u'*' ? -1 : match.captured(3).toLongLong();
    if (range.end < range.start || (range.total >= 0 && range.end >= range.total))
        return std::nullopt;
    return range;
}

QByteArray resumeValidator(const QByteArray &etag, const QByteArray &lastModified, const QByteArray &date)
{
    const QByteArray tag = etag.trimmed();
    if (tag.size() >= 2 && tag.startsWith('"') && tag.endsWith('"'))
        return tag;
    const QDateTime modified = httpDate(lastModified);
    const QDateTime answered = httpDate(date);
    if (modified.isValid() && answered.isValid() && modified.secsTo(answered) >= 1)
        return lastModified.trimmed();
    return {};
}

QByteArray partInfoText(const PartInfo &info)
{
    const QByteArray common =
        info.fileUrl.toUtf8() + '\n' + info.validator + '\n' + QByteArray::number(info.total) + '\n';
    const QByteArray room = QByteArray::number(info.frontRoom) + '\n';
    if (!info.soundId.isEmpty())
        return PartInfoOfSoundTag + '\n' + common + room + info.soundId.toUtf8() + '\n';
    if (info.frontRoom == 0)
        return PartInfoTag + '\n' + common;
    return PartInfoWithRoomTag + '\n' + common + room;
}

QString partInfoPath(const QString &partPath)
{
    return partPath + QStringLiteral(".meta");
}

std::optional<PartInfo> parsePartInfo(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    const QByteArray tag = lines.constFirst();
    const bool withRoom = tag == PartInfoWithRoomTag;
    const bool ofSound = tag == PartInfoOfSoundTag;
    const qsizetype count = ofSound ? 7 : withRoom ? 6 : 5;
    if (lines.size() != count || (!withRoom && !ofSound && tag != PartInfoTag) || !lines.last().isEmpty() ||
        lines[1].isEmpty() || lines[2].isEmpty() || (ofSound && lines[5].isEmpty()))
        return std::nullopt;
    PartInfo info;
    info.fileUrl = QString::fromUtf8(lines[1]);
    info.validator = lines[2];
    bool ok = false;
    info.total = lines[3].toLongLong(&ok);
    if (!ok || info.total < -1)
        return std::nullopt;
    if (withRoom || ofSound) {
        info.frontRoom = lines[4].toLongLong(&ok);
        if (!ok || info.frontRoom < (ofSound ? 0 : 1))
            return std::nullopt;
    }
    if (ofSound)
        info.soundId = QString::fromUtf8(lines[5]);
    return info;
}

bool partIsShort(qint64 size, qint64 total)
{
    return size > 0 && (total < 0 || size < total);
}

bool isPartOf(const PartInfo &info, const PartOwner &owner)
{
    if (!info.soundId.isEmpty() && !owner.soundId.isEmpty())
        return info.soundId == owner.soundId;
    return info.fileUrl == owner.fileUrl;
}

PartUse partUse(qint64 size, const std::optional<PartInfo> &info, const PartOwner &owner, bool madeNow)
{
    const bool named = info && isPartOf(*info, owner);
    if (!named && !madeNow)
        return PartUse::NotOurs;
    return named && partIsShort(size - info->frontRoom, info->total) ? PartUse::Continue
                                                                     : PartUse::StartAfresh;
}

void askFrom(QNetworkRequest &request, qint64 start, const QByteArray &validator)
{
    if (start <= 0)
        return;
    request.setRawHeader("Range", "bytes=" + QByteArray::number(start) + '-');
    request.setRawHeader("If-Range", validator);
}

AnswerHead answerHeadOf(const QNetworkReply &reply)
{
    AnswerHead head;
    head.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    head.contentRange = reply.rawHeader("Content-Range");
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    head.contentLength = length.isValid() ? length.toLongLong() : -1;
    head.etag = reply.rawHeader("ETag");
    head.lastModified = reply.rawHeader("Last-Modified");
    head.date = reply.rawHeader("Date");
    return head;
}

namespace {

// A range must come from the version the validator names: the same strong
// tag, or the same modification date when a date was sent. A server that
// ignores If-Range but serves the range would otherwise splice two versions.
bool sameVersion(const AnswerHead &head, const QByteArray &validator)
{
    if (validator.isEmpty())
        return true;
    if (validator.startsWith('"'))
        return head.etag.isEmpty() || head.etag == validator;
    if (head.lastModified.isEmpty())
        return true;
    const QDateTime answered = httpDate(head.lastModified);
    const QDateTime asked = httpDate(validator);
    return answered.isValid() && asked.isValid() ? answered == asked
                                                 : head.lastModified.trimmed() == validator.trimmed();
}

} // namespace

AnswerMeaning answerMeaning(const AnswerHead &head, const ResumeAsk &ask)
{
    using Kind = AnswerMeaning::Kind;
    const auto meaning = [](Kind kind, qint64 total = -1, QByteArray validator = {}) {
        return AnswerMeaning{kind, total, std::move(validator)};
    };
    const int status = head.status;
    // The part outgrew the file, which then changed.
    if (status == 416 && ask.rangeStart > 0)
        return meaning(Kind::AskAgain);
    // Qt follows redirects; one that arrives here was refused (a loop, or a
    // scheme we do not fetch), which is no error of the server's.
    if (status >= 300 && status <= 399)
        return meaning(Kind::Redirect);
    if (status < 200 || status > 299)
        return meaning(Kind::ErrorStatus);
    qint64 total = head.contentLength;
    if (status == 206) {
        const std::optional<ContentRange> range = parseContentRange(head.contentRange);
        const bool fits = range && range->start == ask.rangeStart && sameVersion(head, ask.validator) &&
                          (ask.total < 0 || ask.rangeStart == 0 || range->total == ask.total);
        if (!fits)
            return meaning(ask.rangeStart > 0 ? Kind::AskAgain : Kind::UnaskedRange);
        if (ask.rangeStart > 0)
            return meaning(Kind::Continuation, range->total >= 0 ? range->total : ask.total);
        total = range->total;
    }
    // A whole body, also when a range was asked: the file changed or the
    // server does not serve ranges.
    return meaning(Kind::WholeBody, total, resumeValidator(head.etag, head.lastModified, head.date));
}
