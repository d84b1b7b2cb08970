// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/sound_stream.h"

#include "download/download_resume.h"
#include "net/http_request.h"
#include "net/network_access.h"
#include "net/web_address.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

// Also the reply's own read buffer: a paused reader holds the transfer back
// instead of letting it fill memory.
constexpr qint64 ReadChunk = 64 * 1024;

} // namespace

SoundStream::SoundStream(const QUrl &url, QObject *parent)
    : SoundStream(url, Options{}, parent)
{}

SoundStream::SoundStream(const QUrl &url, const Options &options, QObject *parent)
    : QObject(parent)
    , m_url(url)
    , m_options(options)
    , m_buffer(std::make_shared<StreamBuffer>(options.limits))
{
    // Runs on the reader's thread with the buffer locked: it only posts.
    m_buffer->setWaker(
        [this] { QMetaObject::invokeMethod(this, &SoundStream::serve, Qt::QueuedConnection); });
}

SoundStream::~SoundStream()
{
    // After close() nothing posts to this object any more.
    m_buffer->close();
    dropReply();
}

void SoundStream::open()
{
    if (!isWebAddress(m_url.toString())) {
        fetchFailed(QCoreApplication::translate("SoundStream", "不是 http 或 https 地址"));
        return;
    }
    fetchFrom(0);
}

void SoundStream::serve()
{
    if (const std::optional<qint64> restart = m_buffer->takeRestart()) {
        m_fruitlessTries = 0;
        const bool runningThere = m_reply && !m_replyFinished && *restart == m_nextOffset;
        if (!runningThere)
            fetchFrom(*restart);
        return;
    }
    readBody();
}

void SoundStream::fetchFrom(qint64 offset)
{
    dropReply();
    m_nextOffset = offset;
    m_skip = 0;
    m_answerChecked = false;
    m_replyFinished = false;
    m_buffer->setFetching(true);
    QNetworkAccessManager *manager = sharedNetworkManager();
    if (!manager) {
        m_fruitlessTries = m_options.retries;
        fetchFailed(fetchFailureText({FetchFailure::NoApplication}));
        return;
    }
    QNetworkRequest request{m_url};
    // As on every request of ours.
    request.setRawHeader("If-Modified-Since", "0");
    // Offsets count the bytes as served.
    request.setRawHeader("Accept-Encoding", "identity");
    if (offset > 0) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(offset) + '-');
        if (!m_validator.isEmpty())
            request.setRawHeader("If-Range", m_validator);
    }
    request.setTransferTimeout(int(m_options.stallTimeout.count()));
    m_reply = manager->get(request);
    m_reply->setReadBufferSize(ReadChunk);
    connect(m_reply, &QNetworkReply::readyRead, this, &SoundStream::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &SoundStream::onFinished);
}

bool SoundStream::checkAnswer()
{
    m_answerChecked = true;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status <= 399) {
        fetchFailed(QCoreApplication::translate("SoundStream", "服务器重定向到了不跟随的地址"));
        return false;
    }
    if (status < 200 || status > 299) {
        fetchFailed(QCoreApplication::translate("SoundStream", "服务器回应 %1").arg(status));
        return false;
    }
    qint64 total = -1;
    if (status == 206) {
        const std::optional<ContentRange> range = parseContentRange(m_reply->rawHeader("Content-Range"));
        if (!range || range->start > m_nextOffset) {
            fetchFailed(QCoreApplication::translate("SoundStream", "服务器回应的范围不是所请求的"));
            return false;
        }
        m_skip = m_nextOffset - range->start;
        total = range->total;
    } else {
        // The whole body, whatever was asked: skip to the wanted bytes.
        m_skip = m_nextOffset;
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            total = length.toLongLong();
    }
    if (m_nextOffset == 0)
        m_validator = resumeValidator(m_reply->rawHeader("ETag"), m_reply->rawHeader("Last-Modified"),
                                      m_reply->rawHeader("Date"));
    if (total >= 0)
        m_buffer->setSize(total);
    if (!m_opened) {
        m_opened = true;
        m_openReported = true;
        QPointer<SoundStream> self(this);
        emit opened({true, total, {}});
        if (!self)
            return false;
        return !m_reply.isNull();
    }
    return true;
}

void SoundStream::readBody()
{
    if (!m_reply || (!m_answerChecked && !checkAnswer()))
        return;
    while (m_reply->bytesAvailable() > 0) {
        if (m_skip > 0) {
            m_skip -= m_reply->read(std::min(m_skip, ReadChunk)).size();
            continue;
        }
        const qint64 room = m_buffer->room();
        if (room == 0)
            return; // the reader's progress calls serve() again
        const QByteArray bytes = m_reply->read(std::min(room, ReadChunk));
        if (!m_buffer->append(m_nextOffset, bytes)) {
            serve(); // the reader wants bytes from elsewhere
            return;
        }
        m_nextOffset += bytes.size();
        m_fruitlessTries = 0;
    }
    if (m_replyFinished)
        conclude();
}

void SoundStream::onFinished()
{
    m_replyFinished = true;
    if (!m_answerChecked && m_reply->error() != QNetworkReply::NoError &&
        m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isNull()) {
        conclude(); // no answer at all
        return;
    }
    readBody();
}

void SoundStream::conclude()
{
    const QNetworkReply::NetworkError error = m_reply->error();
    const QString errorText = m_reply->errorString();
    dropReply();
    if (error != QNetworkReply::NoError) {
        fetchFailed(errorText);
        return;
    }
    const qint64 size = m_buffer->size();
    if (size >= 0 && m_nextOffset < size) {
        fetchFailed(QCoreApplication::translate("SoundStream", "连接在结束前关闭"));
        return;
    }
    m_buffer->finish();
}

void SoundStream::fetchFailed(const QString &reason)
{
    dropReply();
    if (!m_opened) {
        // Nothing is playing yet: say so at once instead of trying again.
        m_buffer->fail(reason);
        if (!std::exchange(m_openReported, true))
            emit opened({false, -1, reason});
        return;
    }
    if (++m_fruitlessTries <= m_options.retries) {
        fetchFrom(m_nextOffset);
        return;
    }
    m_buffer->fail(reason);
}

void SoundStream::dropReply()
{
    discardReply(std::exchange(m_reply, nullptr), this);
}
