#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

struct FetchOptions
{
    // No bytes for this long ends the fetch as a failure.
    std::chrono::milliseconds stallTimeout = std::chrono::seconds(30);
    // A larger body is a failure rather than an out-of-memory.
    qint64 maxBodyBytes = 32 * 1024 * 1024;
};

// Either the decoded body of a response (any status) or a transport failure.
class FetchResult
{
public:
    static FetchResult success(QString text, int httpStatus);
    static FetchResult failure(QString reason, int httpStatus = 0);

    bool ok() const { return m_ok; }
    const QString &text() const { return m_text; }
    const QString &error() const { return m_error; } // one line, when !ok()
    int httpStatus() const { return m_httpStatus; }  // 0 when none arrived

private:
    bool m_ok = false;
    QString m_text;
    QString m_error;
    int m_httpStatus = 0;
};

// GET address with "If-Modified-Since: 0" and return the body as text. Blocks
// the caller while a local event loop keeps events flowing, so handlers (even
// another fetch, which then completes first) run during the wait. An error
// status still returns its body; only transport problems, the stall time-out,
// an over-large body or the application quitting are failures.
FetchResult HttpTextFetch(const QString &address, const FetchOptions &options = {});

// The body decoded with the charset named in Content-Type (UTF-8 when none or
// an unknown one is named); invalid bytes become U+FFFD.
QString DecodeBody(const QByteArray &body, const QByteArray &contentType);

// The charset parameter of a Content-Type value, lower-cased; empty if absent.
QByteArray CharsetOf(const QByteArray &contentType);
