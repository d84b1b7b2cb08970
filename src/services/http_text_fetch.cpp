#include "services/http_text_fetch.h"

#include "services/network_access.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

FetchResult FetchResult::success(QString text, int httpStatus)
{
    FetchResult result;
    result.m_ok = true;
    result.m_text = std::move(text);
    result.m_httpStatus = httpStatus;
    return result;
}

FetchResult FetchResult::successBytes(QByteArray body, int httpStatus)
{
    FetchResult result = success(QString(), httpStatus);
    result.m_bytes = std::move(body);
    return result;
}

FetchResult FetchResult::failure(QString reason, int httpStatus)
{
    FetchResult result;
    result.m_error = std::move(reason);
    result.m_httpStatus = httpStatus;
    return result;
}

FetchResult FetchResult::abandoned(QString reason)
{
    FetchResult result = failure(std::move(reason));
    result.m_abandoned = true;
    return result;
}

FetchCancel::~FetchCancel()
{
    cancel();
}

void FetchCancel::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    emit cancelled();
}

QByteArray CharsetOf(const QByteArray &contentType)
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

QString DecodeBody(const QByteArray &body, const QByteArray &contentType)
{
    const QByteArray charset = CharsetOf(contentType);
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
    return QStringLiteral("%1 bytes").arg(bytes);
}

int statusOf(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

enum class BodyAs { Text, Bytes };

FetchResult fetch(const QString &address, const FetchOptions &options, BodyAs bodyAs)
{
    const QString quitting = QStringLiteral("the application is quitting");
    const QString cancelled = QStringLiteral("cancelled");
    const QPointer<FetchCancel> cancel = options.cancel;
    const bool cancellable = !cancel.isNull();
    const auto wasCancelled = [&] { return cancellable && (!cancel || cancel->isCancelled()); };
    if (wasCancelled())
        return FetchResult::abandoned(cancelled);

    QNetworkAccessManager *manager = SharedNetworkManager();
    if (!manager)
        return FetchResult::failure(QStringLiteral("no application object to run the request"));

    const QUrl url(address);
    if (!url.isValid() || url.host().isEmpty())
        return FetchResult::failure(QStringLiteral("not a valid address: %1").arg(address));

    QNetworkRequest request(url);
    request.setRawHeader("If-Modified-Since", "0");

    QPointer<QNetworkReply> reply = manager->get(request);
    QByteArray body;
    QString abortReason;
    QEventLoop loop;

    auto abortWith = [&](const QString &reason) {
        if (abortReason.isEmpty())
            abortReason = reason;
        if (reply)
            reply->abort();
        else
            loop.quit();
    };
    const QString tooLarge =
        QStringLiteral("the response is larger than %1").arg(sizeText(options.maxBodyBytes));

    // Our own stall timer, restarted by every sign of life, so a slow trickle
    // lives on and only real silence ends the fetch.
    QTimer stallTimer;
    stallTimer.setSingleShot(true);
    stallTimer.setInterval(options.stallTimeout);
    QObject::connect(&stallTimer, &QTimer::timeout, &loop, [&] {
        const auto seconds = std::chrono::duration<double>(options.stallTimeout).count();
        abortWith(QStringLiteral("no data received for %1 s").arg(seconds));
    });
    if (options.stallTimeout.count() > 0) {
        stallTimer.start();
        QObject::connect(reply, &QNetworkReply::downloadProgress, &stallTimer, qOverload<>(&QTimer::start));
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &stallTimer, qOverload<>(&QTimer::start));
        QObject::connect(reply, &QNetworkReply::redirected, &stallTimer, qOverload<>(&QTimer::start));
    }

    // Read as bytes arrive so a large body can be refused before it is all held.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > options.maxBodyBytes)
            abortWith(tooLarge);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (!abortReason.isEmpty())
            return;
        body += reply->readAll();
        if (body.size() > options.maxBodyBytes) {
            body.clear();
            abortWith(tooLarge);
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (cancel)
        QObject::connect(cancel, &FetchCancel::cancelled, &loop, [&] { abortWith(cancelled); });
    // The manager, and with it the reply, goes when the application object does.
    QObject::connect(reply, &QObject::destroyed, &loop, &QEventLoop::quit);

    // A waiting loop, not polling: the thread sleeps until something happens.
    // QCoreApplication::exit() ends every loop, which leaves the reply unfinished.
    if (!reply->isFinished())
        loop.exec();

    if (!reply) // the manager went away with the application
        return FetchResult::abandoned(quitting);
    if (!reply->isFinished())
        abortWith(quitting);

    const int status = statusOf(reply);
    const QNetworkReply::NetworkError error = reply->error();
    if (abortReason.isEmpty() && reply->isOpen())
        body += reply->readAll();
    const QByteArray contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QString errorText = reply->errorString();
    delete reply; // not inside one of its signals here, and nothing is left for a later loop

    // A cancel that came after the answer still wins: the caller moved on.
    if (wasCancelled())
        return FetchResult::abandoned(cancelled);
    if (abortReason == quitting)
        return FetchResult::abandoned(quitting);
    if (!abortReason.isEmpty())
        return FetchResult::failure(abortReason, status);
    // Content and server errors describe the HTTP status of a response that
    // did arrive; its body is the answer. Transport and protocol errors (a
    // redirect to a scheme that is not fetched) are failures: the 3xx body
    // that came with the latter is no answer.
    const bool protocolError =
        error >= QNetworkReply::ProtocolUnknownError && error <= QNetworkReply::ProtocolFailure;
    if (error != QNetworkReply::NoError &&
        (error < QNetworkReply::ContentAccessDenied || protocolError || status == 0))
        return FetchResult::failure(errorText, status);
    if (body.size() > options.maxBodyBytes)
        return FetchResult::failure(tooLarge, status);
    if (bodyAs == BodyAs::Bytes)
        return FetchResult::successBytes(std::move(body), status);
    return FetchResult::success(DecodeBody(body, contentType), status);
}

} // namespace

FetchResult HttpTextFetch(const QString &address, const FetchOptions &options)
{
    return fetch(address, options, BodyAs::Text);
}

FetchResult HttpBytesFetch(const QString &address, const FetchOptions &options)
{
    return fetch(address, options, BodyAs::Bytes);
}
