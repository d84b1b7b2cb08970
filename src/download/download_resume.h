// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QNetworkReply;
class QNetworkRequest;

// "bytes START-END/TOTAL" of a 206 answer; total is -1 for "*".
struct ContentRange
{
    qint64 start = 0;
    qint64 end = 0;
    qint64 total = -1;
};
std::optional<ContentRange> parseContentRange(const QByteArray &value);

// What to send in If-Range to continue a body safely: the ETag when it is
// strong, else Last-Modified when it is at least a second older than the
// answer's Date (a strong date). Empty when there is neither: a range
// without a validator could splice two versions of a file, so such bodies
// are never continued, only started again.
QByteArray resumeValidator(const QByteArray &etag, const QByteArray &lastModified, const QByteArray &date);

// Kept beside "NAME.part" as "NAME.part.meta" so that a later download can
// continue the part file.
struct PartInfo
{
    QString fileUrl;
    QByteArray validator;
    qint64 total = -1;
    // Bytes kept free before the body for the tags to come; the body
    // received so far is the part's size less these.
    qint64 frontRoom = 0;
    // The sound it is of, when the download knew; empty for a bare address.
    QString soundId{};
};
QByteArray partInfoText(const PartInfo &info);
// Where the info of the part file at partPath is kept.
QString partInfoPath(const QString &partPath);
std::optional<PartInfo> parsePartInfo(const QByteArray &text);

// Whether a range can complete a part of size bytes: it has some, and fewer
// than the whole (-1: whole size unknown).
bool partIsShort(qint64 size, qint64 total);

// The download a part may be of: its address and, when known, its sound.
// The part's name already is the download's final name; within it the sound
// decides when both sides know it, as the address may have been signed anew
// since (a fresh analysis); otherwise the address does.
struct PartOwner
{
    QString fileUrl;
    QString soundId{};
};
bool isPartOf(const PartInfo &info, const PartOwner &owner);

// What a part file of size bytes (front room and all) under a download's
// name is to that download; madeNow when the download has just created it.
enum class PartUse {
    Continue,    // its info names the same sound: ask for the rest
    StartAfresh, // just made, or nothing left to ask for: write it again
    NotOurs,     // another sound's part, or a file of another program's
                 // (a browser's unfinished download has that name): left alone
};
PartUse partUse(qint64 size, const std::optional<PartInfo> &info, const PartOwner &owner, bool madeNow);

// Asks for the body from start on, only while it is still the version the
// validator names; nothing to add from zero.
void askFrom(QNetworkRequest &request, qint64 start, const QByteArray &validator);

// What an answer's status and headers tell about continuing.
struct AnswerHead
{
    int status = 0;
    QByteArray contentRange;
    qint64 contentLength = -1; // -1 when not given
    QByteArray etag;
    QByteArray lastModified;
    QByteArray date;
};
AnswerHead answerHeadOf(const QNetworkReply &reply);

// What was asked: the body from rangeStart on, of the version validator
// names, of a file of total bytes (-1 when unknown).
struct ResumeAsk
{
    qint64 rangeStart = 0;
    QByteArray validator;
    qint64 total = -1;
};

struct AnswerMeaning
{
    enum class Kind {
        Continuation, // the rest from the range start: append it
        WholeBody,    // the file from its first byte: the part starts again
        AskAgain,     // the range no longer fits the file: ask for it whole
        Redirect,     // a redirect that was not followed
        ErrorStatus,  // any other status outside 2xx
        UnaskedRange, // a range nobody asked for
    };
    Kind kind = Kind::ErrorStatus;
    qint64 total = -1;    // of the whole file, for Continuation and WholeBody
    QByteArray validator; // for WholeBody: what a continuation of it may send
};
AnswerMeaning answerMeaning(const AnswerHead &head, const ResumeAsk &ask);
