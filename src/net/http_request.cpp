// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/http_request.h"

#include "net/network_access.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

QByteArray charsetOf(const QByteArray &contentType)
{
    const QList<QByteArray> params = contentType.split(';');
    for (qsizetype i = 1; i < params.size(); ++i) {
        const QByteArray param = params.at(i).trimmed();
        const qsizetype eq = param.indexOf('=');
        if (eq < 0 || param.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = param.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value.toLower();
    }
    return {};
}

namespace {

// Qt's UTF-16 and UTF-32 decoders (and some of ICU's, such as CESU-8) let
// unpaired surrogates through; they are no characters, so they become U+FFFD
// like any other invalid input.
QString wholeCharacters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

QString decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        // Stateless: the body is whole, so a cut-off sequence at its end is invalid too.
        QStringDecoder decoder(charset.constData(), QStringConverter::Flag::Stateless);
        if (decoder.isValid())
            return wholeCharacters(decoder.decode(body));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    return utf8.decode(body);
}

namespace {

QString sizeText(qint64 bytes)
{
    if (bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    return QCoreApplication::translate("HttpTextFetch", "%1 字节").arg(bytes);
}

int statusOf(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

QString fetchFailureText(const FetchError &error)
{
    switch (error.reason) {
    case FetchFailure::Transport:
        return error.detail;
    case FetchFailure::BadAddress:
        return QCoreApplication::translate("HttpTextFetch", "不是有效的地址：%1").arg(error.detail);
    case FetchFailure::Stalled:
        return QCoreApplication::translate("HttpTextFetch", "%1 秒内未收到数据").arg(error.detail.toDouble());
    case FetchFailure::TooLarge:
        return QCoreApplication::translate("HttpTextFetch", "回应大于 %1")
            .arg(sizeText(error.detail.toLongLong()));
    case FetchFailure::NoApplication:
        return QCoreApplication::translate("HttpTextFetch", "没有运行请求的应用程序对象");
    case FetchFailure::Cancelled:
        return QCoreApplication::translate("HttpTextFetch", "已取消");
    case FetchFailure::Quitting:
        return QCoreApplication::translate("HttpTextFetch", "程序正在退出");
    }
    return {};
}

QString stalledDetail(std::chrono::milliseconds timeout)
{
    return QString::number(std::chrono::duration<double>(timeout).count());
}

HttpRequest::HttpRequest(QString address, FetchOptions options, BodyAs bodyAs, QObject *parent)
    : QObject(parent)
    , m_address(std::move(address))
    , m_options(std::move(options))
    , m_bodyAs(bodyAs)
{}

HttpRequest::~HttpRequest()
{
    dropReply();
}

void HttpRequest::start()
{
    if (m_started)
        return;
    m_started = true;
    m_running = true;
    QNetworkAccessManager *manager = sharedNetworkManager();
    const QUrl url(m_address);
    if (!manager) {
        fail(FetchFailure::NoApplication);
        return;
    }
    if (!url.isValid() || url.host().isEmpty()) {
        finish(unexpected(FetchFailure::BadAddress, m_address));
        return;
    }

    QNetworkRequest request(url);
    request.setRawHeader("If-Modified-Since", "0");
    m_reply = manager->get(request);

    // Our own stall timer, restarted by every sign of life, so a slow trickle
    // lives on and only real silence ends the request.
    if (m_options.stallTimeout.count() > 0) {
        m_stallTimer = new QTimer(this);
        m_stallTimer->setSingleShot(true);
        m_stallTimer->setInterval(m_options.stallTimeout);
        connect(m_stallTimer, &QTimer::timeout, this, [this] { abortWith(FetchFailure::Stalled); });
        m_stallTimer->start();
        connect(m_reply, &QNetworkReply::downloadProgress, m_stallTimer, qOverload<>(&QTimer::start));
        connect(m_reply, &QNetworkReply::metaDataChanged, m_stallTimer, qOverload<>(&QTimer::start));
        connect(m_reply, &QNetworkReply::redirected, m_stallTimer, qOverload<>(&QTimer::start));
    }

    // Read as bytes arrive so a large body can be refused before it is all held.
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_options.maxBodyBytes)
            abortWith(FetchFailure::TooLarge);
    });
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_abortReason)
            return;
        m_body += m_reply->readAll();
        if (m_body.size() > m_options.maxBodyBytes) {
            m_body.clear();
            abortWith(FetchFailure::TooLarge);
        }
    });
    connect(m_reply, &QNetworkReply::finished, this, &HttpRequest::onFinished);
    // The manager, and with it the reply, goes when the application object does.
    connect(m_reply, &QObject::destroyed, this, [this] {
        if (m_running)
            fail(FetchFailure::Quitting);
    });
}

void HttpRequest::abort()
{
    if (m_running)
        abortWith(FetchFailure::Cancelled);
}

void HttpRequest::abortWith(FetchFailure reason)
{
    if (!m_abortReason)
        m_abortReason = reason;
    if (m_reply)
        m_reply->abort(); // finishes the reply, synchronously
    else if (m_running)
        fail(reason);
}

void HttpRequest::onFinished()
{
    QNetworkReply *reply = m_reply;
    const int status = statusOf(reply);
    const QNetworkReply::NetworkError error = reply->error();
    if (!m_abortReason && reply->isOpen())
        m_body += reply->readAll();
    const QByteArray contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QString errorText = reply->errorString();
    dropReply();

    if (m_abortReason) {
        // Nobody waits for the status of an abandoned answer.
        const bool abandoned =
            m_abortReason == FetchFailure::Cancelled || m_abortReason == FetchFailure::Quitting;
        fail(*m_abortReason, abandoned ? 0 : status);
        return;
    }
    // Content and server errors describe the HTTP status of a response that
    // did arrive; its body is the answer. Transport and protocol errors (a
    // redirect to a scheme that is not fetched) are failures: the 3xx body
    // that came with the latter is no answer.
    const bool protocolError =
        error >= QNetworkReply::ProtocolUnknownError && error <= QNetworkReply::ProtocolFailure;
    if (error != QNetworkReply::NoError &&
        (error < QNetworkReply::ContentAccessDenied || protocolError || status == 0)) {
        finish(unexpected(FetchFailure::Transport, errorText, status));
        return;
    }
    if (m_body.size() > m_options.maxBodyBytes) {
        fail(FetchFailure::TooLarge, status);
        return;
    }
    QByteArray body = std::exchange(m_body, QByteArray());
    if (m_bodyAs == BodyAs::Bytes)
        finish(FetchedBody{{}, std::move(body), status});
    else
        finish(FetchedBody{decodeBody(body, contentType), {}, status});
}

void HttpRequest::fail(FetchFailure failure, int httpStatus)
{
    QString detail;
    if (failure == FetchFailure::Stalled)
        detail = stalledDetail(m_options.stallTimeout);
    else if (failure == FetchFailure::TooLarge)
        detail = QString::number(m_options.maxBodyBytes);
    finish(unexpected(failure, detail, httpStatus));
}

void HttpRequest::finish(const FetchResult &result)
{
    if (!m_running)
        return;
    m_running = false;
    dropReply();
    if (m_stallTimer)
        m_stallTimer->stop();
    // Never from inside start() or a caller's abort(): from the event loop.
    QMetaObject::invokeMethod(
        this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
}

void HttpRequest::dropReply()
{
    if (m_stallTimer && m_reply)
        disconnect(m_reply, nullptr, m_stallTimer, nullptr);
    discardReply(std::exchange(m_reply, nullptr), this);
}
