// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/sound_download.h"

#include "download/sound_tagging.h"
#include "net/http_request.h"
#include "net/network_access.h"
#include "net/web_address.h"
#include "util/byte_size.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

// Big enough that a fast loopback transfer costs few reads, small enough to
// keep the process well under its memory budget.
constexpr qint64 ReadChunk = 1024 * 1024;
constexpr qint64 ReplyBufferLimit = 2 * 1024 * 1024;
// Enough for a BOM, some white space and "<!DOCTYPE".
constexpr qsizetype HeadBytes = 64;

std::chrono::milliseconds speedWindowOf(const DownloadRequest &request)
{
    return request.speedWindow.count() > 0 ? request.speedWindow : 2 * request.stallTimeout;
}

QString webPageText()
{
    return QCoreApplication::translate("SoundDownload", "服务器发来的是网页，不是音频文件");
}

} // namespace

SoundDownload::SoundDownload(DownloadRequest request, QObject *parent)
    : QObject(parent)
    , m_request(std::move(request))
    , m_retryTimer(new QTimer(this))
    , m_speedTimer(new QTimer(this))
{
    m_speedTimer->setSingleShot(true);
    connect(m_speedTimer, &QTimer::timeout, this, &SoundDownload::onSpeedCheck);
    m_retryTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, [this] {
        // Without a validator, or its info on the disk, the part cannot be
        // continued safely.
        if (!m_part.infoSaved())
            restartFromZero();
        if (m_running)
            sendRequest();
    });
}

SoundDownload::~SoundDownload()
{
    // A body whole and being tagged or saved is saved first.
    if (m_running)
        finishTagging();
    delete std::exchange(m_tagging, nullptr); // waits for any tagging left
    if (m_running) {
        m_result =
            Unexpected(DownloadFailure{DownloadError::Cancelled, {{}, m_part.received(), {}}, m_httpStatus});
        m_running = false;
    }
    cleanUp(!m_result && m_result.error().reason == DownloadError::Cancelled && m_part.isContinuable());
}

void SoundDownload::start()
{
    if (m_started)
        return;
    m_started = true;
    m_running = true;

    if (!isWebAddress(m_request.fileUrl)) {
        fail(DownloadError::NotWebAddress,
             QCoreApplication::translate("SoundDownload", "不是 http 或 https 地址：%1")
                 .arg(m_request.fileUrl));
        return;
    }
    if (!partDone(m_part.reserve(m_request)))
        return;
    if (m_request.tags) {
        m_tagging = new SoundTagging(*m_request.tags, m_request.coverUrl, m_part.finalPath(), this);
        connect(m_tagging, &SoundTagging::finished, this, &SoundDownload::onTagged);
        m_tagging->fetchCover();
    }
    sendRequest();
}

void SoundDownload::sendRequest()
{
    QNetworkAccessManager *manager = sharedNetworkManager();
    if (!manager) {
        fail(DownloadError::Cancelled, fetchFailureText({FetchFailure::NoApplication}));
        return;
    }
    QNetworkRequest request{QUrl(m_request.fileUrl)};
    // As on every request of ours.
    request.setRawHeader("If-Modified-Since", "0");
    // The bytes exactly as served, so Content-Length counts what we write.
    request.setRawHeader("Accept-Encoding", "identity");
    m_rangeStart = m_part.received();
    askFrom(request, m_rangeStart, m_part.validator());
    request.setTransferTimeout(int(m_request.stallTimeout.count()));
    m_answerChecked = false;
    m_answerBytes = 0;
    m_reply = manager->get(request);
    // Bounded, so a disk slower than the network holds the transfer back
    // instead of filling memory.
    m_reply->setReadBufferSize(ReplyBufferLimit);
    connect(m_reply, &QNetworkReply::readyRead, this, &SoundDownload::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &SoundDownload::onFinished);
    if (m_request.minimumSpeed > 0 && speedWindowOf(m_request).count() > 0) {
        m_windowStart = m_transferred;
        m_speedTimer->start(speedWindowOf(m_request));
    }
    // The manager takes its replies with it when the program ends.
    connect(m_reply, &QObject::destroyed, this,
            [this] { fail(DownloadError::Cancelled, fetchFailureText({FetchFailure::Quitting})); });
}

void SoundDownload::abort()
{
    // The body is whole and being tagged or saved: it is saved once done.
    if ((m_tagging && m_tagging->isTagging()) || m_saving)
        return;
    fail(DownloadError::Cancelled, fetchFailureText({FetchFailure::Cancelled}));
}

void SoundDownload::finishTagging()
{
    if (m_tagging && m_tagging->isTagging()) {
        delete std::exchange(m_tagging, nullptr); // waits for the tagging
        save(false);
    }
    commit(); // waits for the part to be written through
}

// Looks at the status and headers of an answer before its body is used.
// False when the answer is not used: the download failed, or asked again.
bool SoundDownload::checkAnswer()
{
    const AnswerHead head = answerHeadOf(*m_reply);
    if (head.status == 0)
        return true; // no answer at all: the transfer error tells why
    m_answerChecked = true;
    m_httpStatus = head.status;
    const AnswerMeaning meaning = answerMeaning(head, {m_rangeStart, m_part.validator(), m_part.total()});
    switch (meaning.kind) {
    case AnswerMeaning::Kind::AskAgain:
        dropReply();
        restartFromZero();
        if (m_running)
            sendRequest();
        return false;
    case AnswerMeaning::Kind::Redirect:
        return fail(DownloadError::Redirect,
                    QCoreApplication::translate("SoundDownload", "服务器重定向到了不跟随的地址：%1")
                        .arg(m_reply->errorString()));
    case AnswerMeaning::Kind::ErrorStatus:
        return fail(DownloadError::HttpStatus,
                    QCoreApplication::translate("SoundDownload", "服务器回应 %1").arg(head.status));
    case AnswerMeaning::Kind::UnaskedRange:
        return fail(DownloadError::HttpStatus,
                    QCoreApplication::translate("SoundDownload", "请求整个文件，服务器却回应 206"));
    case AnswerMeaning::Kind::Continuation:
        if (!checkBody())
            return false;
        m_part.setTotal(meaning.total);
        m_headChecked = true; // the part's own start was looked at when it came
        return true;
    case AnswerMeaning::Kind::WholeBody:
        if (!checkBody())
            return false;
        m_head.clear();
        m_headChecked = false;
        restartFromZero();
        if (!m_running)
            return false;
        m_part.describe(meaning.total, meaning.validator);
        return true;
    }
    return false;
}

// An answer with a good status can still be no sound file.
bool SoundDownload::checkBody()
{
    if (isWebPageType(m_reply->rawHeader("Content-Type")))
        return fail(DownloadError::NotSound, webPageText());
    // Which one frames the body is anyone's guess, and Qt takes the first.
    if (!conflictingLengths(m_reply->rawHeaderPairs()).isEmpty())
        return fail(DownloadError::BadAnswer,
                    QCoreApplication::translate("SoundDownload", "服务器给出了互相矛盾的文件长度"));
    return true;
}

// Error pages come as 200 with an audio type too: their first bytes tell.
bool SoundDownload::checkHead(const char *data, qint64 size)
{
    m_head.append(data, std::min<qint64>(size, HeadBytes - m_head.size()));
    const BodyStart start = bodyStartOf(m_head);
    if (start == BodyStart::WebPage)
        return fail(DownloadError::NotSound, webPageText());
    if (start == BodyStart::File || m_head.size() >= HeadBytes) {
        m_headChecked = true;
        m_head.clear();
    }
    return true;
}

void SoundDownload::onSpeedCheck()
{
    if (!m_running || !m_reply)
        return;
    const std::chrono::milliseconds window = speedWindowOf(m_request);
    const qint64 got = m_transferred - m_windowStart;
    if (got * 1000 >= m_request.minimumSpeed * window.count()) {
        m_windowStart = m_transferred;
        m_speedTimer->start(window);
        return;
    }
    // A new connection may well be faster.
    retryOrFail(DownloadError::Stalled, QCoreApplication::translate("SoundDownload", "%1 秒内只收到 %2 字节")
                                            .arg(std::chrono::duration<double>(window).count())
                                            .arg(got));
}

bool SoundDownload::drain()
{
    if (!m_reply->isOpen()) // aborted by the transfer time-out: nothing left to read
        return true;
    if (m_buffer.empty())
        m_buffer.resize(size_t(ReadChunk));
    for (;;) {
        const qint64 got = m_reply->read(m_buffer.data(), qint64(m_buffer.size()));
        if (got <= 0)
            break;
        if (!m_headChecked && !checkHead(m_buffer.data(), got))
            return false;
        if (m_part.total() < 0 && m_part.received() + got > m_request.maxUnsizedBytes)
            return fail(
                DownloadError::TooLarge,
                QCoreApplication::translate("SoundDownload", "服务器没有给出文件大小，而文件已超过 %1")
                    .arg(byteSizeText(double(m_request.maxUnsizedBytes))));
        if (m_part.received() == 0 && !leaveFrontRoom(QByteArray::fromRawData(m_buffer.data(), got)))
            return false;
        if (!partDone(m_part.append(m_buffer.data(), got)))
            return false;
        m_answerBytes += got;
        m_transferred += got;
    }
    return true;
}

void SoundDownload::onReadyRead()
{
    if (!m_running || !m_reply)
        return;
    if (!m_answerChecked && !checkAnswer())
        return;
    drain();
}

void SoundDownload::onFinished()
{
    if (!m_running || !m_reply)
        return;
    if (!m_answerChecked && !checkAnswer())
        return;
    if (m_answerChecked && !drain())
        return;
    const std::optional<TransferEnd> end =
        transferEnd({m_reply->error(), m_reply->errorString(), m_answerChecked, m_answerBytes,
                     m_part.received(), m_part.total(), m_request.stallTimeout});
    if (end) {
        if (end->retry)
            retryOrFail(end->error, end->detail);
        else
            fail(end->error, end->detail);
        return;
    }
    if (m_tagging) {
        // Tagged under the part name, so a crash meanwhile leaves no half
        // tagged file under the final one, and no info to continue it from.
        m_part.forgetInfo();
        dropReply();
        m_tagging->tagFile(m_part.path(), m_part.frontRoom());
        return;
    }
    save(false);
}

void SoundDownload::announceEnd()
{
    // From the event loop, so a caller's start() or abort() has returned first.
    QMetaObject::invokeMethod(
        this, [this] { emit finished(m_result); }, Qt::QueuedConnection);
}

void SoundDownload::retryOrFail(DownloadError error, const QString &detail)
{
    if (m_retries >= m_request.retryDelays.size()) {
        fail(error, detail);
        return;
    }
    dropReply();
    m_retryTimer->start(m_request.retryDelays[m_retries++]);
    emit retrying(int(m_retries) + 1, int(m_request.retryDelays.size()) + 1);
}

bool SoundDownload::fail(DownloadError error, const QString &detail)
{
    if (!m_running)
        return false;
    m_running = false;
    const DownloadFailure failure{error, {detail, m_part.received(), {}}, m_httpStatus};
    m_result = Unexpected(failure);
    cleanUp(passes(failure) && m_part.isContinuable());
    announceEnd();
    return false;
}

void SoundDownload::dropReply()
{
    m_speedTimer->stop();
    discardReply(std::exchange(m_reply, nullptr), this);
}

bool SoundDownload::partDone(const Expected<void, PartFailure> &step)
{
    return step || fail(step.error().reason, step.error().detail);
}

void SoundDownload::restartFromZero()
{
    partDone(m_part.startAgain());
}

bool SoundDownload::leaveFrontRoom(const QByteArray &head)
{
    if (!m_tagging || m_part.frontRoom() > 0)
        return true;
    const qint64 room = m_tagging->frontRoomFor(head);
    return room == 0 || partDone(m_part.leaveFrontRoom(emptyId3Tag(room, m_request.tags->id3Version)));
}

void SoundDownload::onTagged(const TagOutcome &outcome)
{
    if (!outcome.written)
        m_untagged = outcome.detail;
    save(!outcome.written); // saved as it came: the room goes again
}

void SoundDownload::save(bool dropRoom)
{
    // Written through, tags and all, before the name says the file is whole;
    // the reply goes first, as nothing may end it while the part is away.
    dropReply();
    m_saving = new QFutureWatcher<Expected<void, PartFailure>>(this);
    connect(m_saving, &QFutureWatcherBase::finished, this, &SoundDownload::commit);
    m_saving->setFuture(m_part.writeThrough(dropRoom));
}

void SoundDownload::commit()
{
    if (!m_saving)
        return; // already committed by a wait
    QFutureWatcher<Expected<void, PartFailure>> *saving = std::exchange(m_saving, nullptr);
    saving->disconnect(this);
    saving->deleteLater();
    if (!partDone(saving->result()) || !partDone(m_part.moveToFinalName()))
        return;
    m_result = SavedSound{m_part.finalPath(), m_part.received(), m_httpStatus, m_untagged};
    m_running = false;
    cleanUp(false);
    announceEnd();
}

void SoundDownload::cleanUp(bool keepPart)
{
    m_retryTimer->stop();
    dropReply();
    if (keepPart) {
        const QString kept = m_part.keep();
        if (!m_result)
            m_result.error().detail.partPath = kept;
    } else {
        m_part.remove();
    }
}
