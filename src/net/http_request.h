// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/network_access.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>

struct FetchOptions
{
    // No bytes for this long ends the fetch as a failure.
    std::chrono::milliseconds stallTimeout = DefaultStallTimeout;
    // A larger body is a failure rather than an out-of-memory.
    qint64 maxBodyBytes = 32 * 1024 * 1024;
};

// Why a request brought no answer.
enum class FetchFailure {
    None,
    Transport,     // the connection failed, or the server broke the protocol
    Stalled,       // no byte for the stall time-out
    TooLarge,      // the body is larger than allowed
    BadAddress,    // nothing that can be fetched
    NoApplication, // no application object to run requests
    Cancelled,     // aborted
    Quitting,      // the application object is going
};

// The line for people that tells a failure of a request run with options;
// empty for Transport and BadAddress, whose lines tell more than the reason.
QString fetchFailureText(FetchFailure failure, const FetchOptions &options = {});

// Either the decoded body of a response (any status) or a failure.
class FetchResult
{
public:
    static FetchResult success(QString text, int httpStatus);
    static FetchResult successBytes(QByteArray body, int httpStatus);
    static FetchResult failure(QString reason, int httpStatus = 0); // a Transport failure
    static FetchResult failure(FetchFailure failure, QString reason, int httpStatus = 0);

    bool ok() const { return m_ok; }
    FetchFailure reason() const { return m_failure; } // None when ok()
    // Nobody wants the answer any more: aborted, or the application is quitting.
    bool isAbandoned() const
    {
        return m_failure == FetchFailure::Cancelled || m_failure == FetchFailure::Quitting;
    }
    const QString &text() const { return m_text; }
    const QByteArray &bytes() const { return m_bytes; } // BodyAs::Bytes only
    const QString &error() const { return m_error; }    // one line, when !ok()
    int httpStatus() const { return m_httpStatus; }     // 0 when none arrived

private:
    bool m_ok = false;
    FetchFailure m_failure = FetchFailure::None;
    QString m_text;
    QByteArray m_bytes;
    QString m_error;
    int m_httpStatus = 0;
};

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
    FetchFailure m_abortReason = FetchFailure::None;
    bool m_started = false;
    bool m_running = false;
};

// The body decoded with the charset named in Content-Type (UTF-8 when none or
// an unknown one is named); invalid bytes become U+FFFD.
QString decodeBody(const QByteArray &body, const QByteArray &contentType);

// The charset parameter of a Content-Type value, lower-cased; empty if absent.
QByteArray charsetOf(const QByteArray &contentType);
