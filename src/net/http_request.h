// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/network_access.h"
#include "util/expected.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <optional>

struct FetchOptions
{
    // No bytes for this long ends the fetch as a failure.
    std::chrono::milliseconds stallTimeout = DefaultStallTimeout;
    // A larger body is a failure rather than an out-of-memory.
    qint64 maxBodyBytes = 32 * 1024 * 1024;
};

// Why a request brought no answer.
enum class FetchFailure {
    Transport,     // the connection failed, or the server broke the protocol (the network's words in detail)
    Stalled,       // no byte for the stall time-out (its seconds in detail)
    TooLarge,      // the body is larger than allowed (the limit's bytes in detail)
    BadAddress,    // nothing that can be fetched (the address in detail)
    NoApplication, // no application object to run requests
    Cancelled,     // aborted
    Quitting,      // the application object is going
};
// code: the HTTP status, when one arrived.
using FetchError = Failure<FetchFailure>;

// The line for people that tells a failure.
QString fetchFailureText(const FetchError &error);
// A Stalled failure's detail: the stall time-out.
QString stalledDetail(std::chrono::milliseconds timeout);

// An answer, whatever its status.
struct FetchedBody
{
    QString text;     // BodyAs::Text
    QByteArray bytes; // BodyAs::Bytes
    int httpStatus = 0;
};

// Either the decoded body of a response (any status) or why none came.
using FetchResult = Expected<FetchedBody, FetchError>;

// Nobody wants the answer any more: aborted, or the application is quitting.
inline bool isAbandoned(const FetchResult &result)
{
    return !result && (result.error().reason == FetchFailure::Cancelled ||
                       result.error().reason == FetchFailure::Quitting);
}
// The status of the answer, or of the one a failure cut short; 0 when none arrived.
inline int httpStatusOf(const FetchResult &result)
{
    return result ? result->httpStatus : result.error().code;
}

class QNetworkReply;
class QTimer;

enum class BodyAs { Text, Bytes };

// One GET with "If-Modified-Since: 0", started by start() and ending in
// exactly one finished() from the event loop, never from start() itself. An
// error status still brings its body; only transport problems, the stall
// time-out, an over-large body, abort() or the application quitting are
// failures. Destroying the request cancels it without a signal.
class HttpRequest : public QObject
{
    Q_OBJECT

public:
    explicit HttpRequest(QString address, FetchOptions options = {}, BodyAs bodyAs = BodyAs::Text,
                         QObject *parent = nullptr);
    ~HttpRequest() override;

    void start();
    // Ends a running request at once with an abandoned result.
    void abort();
    bool isRunning() const { return m_running; }
    QString address() const { return m_address; }

signals:
    void finished(const FetchResult &result);

private:
    void abortWith(FetchFailure reason);
    void onFinished();
    void fail(FetchFailure failure, int httpStatus = 0);
    void finish(const FetchResult &result);
    void dropReply();

    const QString m_address;
    const FetchOptions m_options;
    const BodyAs m_bodyAs;
    QPointer<QNetworkReply> m_reply;
    QTimer *m_stallTimer = nullptr;
    QByteArray m_body;
    std::optional<FetchFailure> m_abortReason;
    bool m_started = false;
    bool m_running = false;
};

// The body decoded with the charset named in Content-Type (UTF-8 when none or
// an unknown one is named); invalid bytes become U+FFFD.
QString decodeBody(const QByteArray &body, const QByteArray &contentType);

// The charset parameter of a Content-Type value, lower-cased; empty if absent.
QByteArray charsetOf(const QByteArray &contentType);
