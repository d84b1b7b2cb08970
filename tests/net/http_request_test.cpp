// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/http_request.h"
#include "net/network_access.h"
#include "sample_service/sample_service.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>

using namespace std::chrono_literals;

class HttpTextFetchTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QString url(const QString &target) const { return m_service.baseUrl() + target; }

    // One request to its end.
    static FetchResult fetch(const QString &address, const FetchOptions &options = {},
                             BodyAs bodyAs = BodyAs::Text)
    {
        HttpRequest request(address, options, bodyAs);
        QSignalSpy finished(&request, &HttpRequest::finished);
        request.start();
        if (!finished.wait(30000))
            return FetchResult(unexpected(FetchFailure::Transport, QStringLiteral("no end in 30 s")));
        return finished.first().first().value<FetchResult>();
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void sendsIfModifiedSinceZero()
    {
        m_service.clearRequests();
        const FetchResult result = fetch(url(QStringLiteral("/version/main.txt")));
        QVERIFY2(result.has_value(), qPrintable(result ? QString() : fetchFailureText(result.error())));
        const QList<RecordedRequest> requests = m_service.requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().method, QByteArray("GET"));
        QCOMPARE(requests.first().header("if-modified-since"), QByteArray("0"));
    }

    void decodesBody_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("expected");

        const QString chinese = QStringLiteral("夜航星 — 歌手");
        QTest::newRow("utf-8 named") << chinese.toUtf8() << QByteArray("text/plain; charset=utf-8")
                                     << chinese;
        QTest::newRow("no charset means utf-8")
            << chinese.toUtf8() << QByteArray("application/json") << chinese;
        QTest::newRow("gbk") << QByteArray(QStringEncoder("GBK").encode(QStringLiteral("夜航星")))
                             << QByteArray("text/plain; charset=GBK") << QStringLiteral("夜航星");
        QTest::newRow("gb18030 quoted")
            << QByteArray(QStringEncoder("GB18030").encode(QStringLiteral("声音")))
            << QByteArray("text/html; Charset=\"gb18030\"") << QStringLiteral("声音");
        QTest::newRow("unknown charset falls back to utf-8")
            << chinese.toUtf8() << QByteArray("text/plain; charset=no-such-set") << chinese;
        QTest::newRow("invalid utf-8 becomes replacement characters")
            << QByteArray("ab\xff\xfe"
                          "c")
            << QByteArray("text/plain; charset=utf-8") << QStringLiteral("ab\uFFFD\uFFFDc");
        QTest::newRow("truncated sequence at the end")
            << QByteArray("ok\xe5\xa4") << QByteArray("text/plain") << QStringLiteral("ok\uFFFD\uFFFD");
        QTest::newRow("utf-16 pair kept")
            << QByteArray("\x3c\xd8\xb5\xdf", 4) << QByteArray("text/plain; charset=utf-16le")
            << QStringLiteral("🎵");
        QTest::newRow("utf-16 unpaired high surrogate")
            << QByteArray("\x00\xd8"
                          "a\x00",
                          4)
            << QByteArray("text/plain; charset=utf-16le") << QStringLiteral("\uFFFDa");
        QTest::newRow("utf-16 unpaired low surrogate")
            << QByteArray("\xdc\x00\x00"
                          "a",
                          4)
            << QByteArray("text/plain; charset=utf-16be") << QStringLiteral("\uFFFDa");
        QTest::newRow("surrogate encoded in cesu-8")
            << QByteArray("\xed\xa0\x80z") << QByteArray("text/plain; charset=cesu-8")
            << QStringLiteral("\uFFFDz");
    }

    // Whatever the server claims, the text holds no unpaired surrogate.
    void decodesToWholeCharacters_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::newRow("utf-32 beyond Unicode")
            << QByteArray("\x00\x00\x11\x00", 4) << QByteArray("application/json; charset=UTF-32LE");
        QTest::newRow("utf-32 without byte order mark") << QByteArray("\xd2\xb9\xcd\xed\xe7\xa3\xa8\xb7")
                                                        << QByteArray("application/json; charset=UTF-32");
        QTest::newRow("utf-32 surrogate code point")
            << QByteArray("\x00\x00\xd8\x00", 4) << QByteArray("text/plain; charset=utf-32be");
    }

    void decodesToWholeCharacters()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        const QString text = decodeBody(body, contentType);
        QVERIFY(!text.isEmpty());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair =
                text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
            QVERIFY2(pair || !text.at(i).isSurrogate(), qPrintable(QString::number(i)));
            i += pair ? 1 : 0;
        }
    }

    void decodesBody()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, expected);

        QCOMPARE(decodeBody(body, contentType), expected);

        // The same bytes served for real must arrive as the same text.
        m_service.setSoundInfoBody(QStringLiteral("decode"), body, contentType);
        const FetchResult result = fetch(url(QStringLiteral("/sound/info?sound_id=decode")));
        QVERIFY2(result.has_value(), qPrintable(result ? QString() : fetchFailureText(result.error())));
        QCOMPARE(result->text, expected);
    }

    void returnsBodyOfAnyStatus_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("emptyBody");

        QTest::newRow("not found") << QStringLiteral("/fault/status?code=404") << 404 << false;
        QTest::newRow("server error") << QStringLiteral("/fault/status?code=500") << 500 << false;
        QTest::newRow("forbidden") << QStringLiteral("/fault/status?code=403") << 403 << false;
        QTest::newRow("empty body") << QStringLiteral("/fault/empty") << 200 << true;
    }

    void returnsBodyOfAnyStatus()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(bool, emptyBody);

        const FetchResult result = fetch(url(target));
        QVERIFY2(result.has_value(), qPrintable(result ? QString() : fetchFailureText(result.error())));
        QCOMPARE(result->httpStatus, status);
        QCOMPARE(result->text.isEmpty(), emptyBody);
        if (!emptyBody)
            QVERIFY(result->text.contains(QString::number(status)));
    }

    void followsRedirect()
    {
        const FetchResult direct = fetch(url(QStringLiteral("/version/main.txt")));
        const FetchResult redirected = fetch(url(QStringLiteral("/fault/redirect?to=/version/main.txt")));
        QVERIFY2(redirected.has_value(),
                 qPrintable(redirected ? QString() : fetchFailureText(redirected.error())));
        QCOMPARE(redirected->text, direct->text);
    }

    // Pictures need the bytes as sent, whatever the charset claims.
    void bytesFetchKeepsTheBody()
    {
        const FetchResult text = fetch(url(QStringLiteral("/fault/invalid-utf8")));
        const FetchResult bytes = fetch(url(QStringLiteral("/fault/invalid-utf8")), {}, BodyAs::Bytes);
        QVERIFY(bytes.has_value());
        QVERIFY(bytes->text.isEmpty());
        QVERIFY(bytes->bytes.contains("\xff\xfe \xc3\x28"));
        QCOMPARE(decodeBody(bytes->bytes, "text/plain; charset=utf-8"), text->text);
        FetchOptions small;
        small.maxBodyBytes = 1024 * 1024;
        QVERIFY(!fetch(url(QStringLiteral("/fault/huge?mib=2")), small, BodyAs::Bytes).has_value());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QString>("reasonPart");

        const qint64 limit = FetchOptions().maxBodyBytes;
        QTest::newRow("connection dropped mid-body")
            << QStringLiteral("/fault/drop") << 30000 << limit << QString();
        QTest::newRow("stall before headers")
            << QStringLiteral("/fault/stall?seconds=20") << 400 << limit << QStringLiteral("秒内未收到数据");
        QTest::newRow("stall inside the body") << QStringLiteral("/fault/stall-body?seconds=20") << 400
                                               << limit << QStringLiteral("秒内未收到数据");
        QTest::newRow("announced body over the limit")
            << QStringLiteral("/fault/huge?mib=40") << 30000 << limit << QStringLiteral("回应大于 32 MiB");
        QTest::newRow("chunked body over the limit")
            << QStringLiteral("/fault/trickle?bytes=64&interval=1") << 30000 << qint64(16)
            << QStringLiteral("回应大于 16 字节");
        QTest::newRow("redirect loop")
            << QStringLiteral("/fault/redirect-loop") << 30000 << limit << QString();
        // Not followed, and its 302 body is no answer either.
        QTest::newRow("redirect to a file: address")
            << QStringLiteral("/fault/redirect-scheme") << 30000 << limit << QStringLiteral("protocol");
    }

    void failures()
    {
        QFETCH(QString, target);
        QFETCH(int, stallMs);
        QFETCH(qint64, maxBytes);
        QFETCH(QString, reasonPart);

        FetchOptions options;
        options.stallTimeout = std::chrono::milliseconds(stallMs);
        options.maxBodyBytes = maxBytes;
        const FetchResult result = fetch(url(target), options);
        QVERIFY(!result.has_value());
        QVERIFY(!fetchFailureText(result.error()).isEmpty());
        if (!reasonPart.isEmpty())
            QVERIFY2(fetchFailureText(result.error()).contains(reasonPart),
                     qPrintable(fetchFailureText(result.error())));
    }

    void transportFailures_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("refused") << QString(); // filled from a stopped service
        QTest::newRow("not an address") << QStringLiteral("not a url");
        QTest::newRow("empty") << QString();
    }

    void transportFailures()
    {
        QFETCH(QString, address);
        if (QByteArray(QTest::currentDataTag()) == "refused") {
            SampleService closed;
            QVERIFY(closed.start());
            address = closed.baseUrl() + QStringLiteral("/version/main.txt");
            closed.stop();
        }
        const FetchResult result = fetch(address);
        QVERIFY(!result.has_value());
        QVERIFY(!fetchFailureText(result.error()).isEmpty());
    }

    void slowTrickleUnderTheStallTimeoutSucceeds()
    {
        FetchOptions options;
        options.stallTimeout = 1500ms;
        const FetchResult result = fetch(url(QStringLiteral("/fault/trickle?bytes=8&interval=300")), options);
        QVERIFY2(result.has_value(), qPrintable(result ? QString() : fetchFailureText(result.error())));
        QCOMPARE(result->text.size(), 8);
    }

    // The answer comes from the event loop, never from start() itself, and
    // exactly once.
    void finishesOnceFromTheEventLoop_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("answer") << url(QStringLiteral("/version/main.txt"));
        QTest::newRow("not an address") << QStringLiteral("nothing");
    }

    void finishesOnceFromTheEventLoop()
    {
        QFETCH(QString, address);
        HttpRequest request(address);
        QSignalSpy finished(&request, &HttpRequest::finished);
        request.start();
        QVERIFY(finished.isEmpty());
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(!request.isRunning());
        request.start(); // once only
        QCoreApplication::sendPostedEvents();
        QCOMPARE(finished.size(), 1);
    }

    // abort() ends a waiting request at once as abandoned; deleting one ends
    // it without a word.
    void abortAndDestroy()
    {
        m_service.closeGate("/version/main.txt");
        HttpRequest aborted(url(QStringLiteral("/version/main.txt")));
        QSignalSpy finished(&aborted, &HttpRequest::finished);
        aborted.start();
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 1);
        aborted.abort();
        QVERIFY(finished.wait());
        const auto result = finished.first().first().value<FetchResult>();
        QCOMPARE(result.error().reason, FetchFailure::Cancelled);
        QVERIFY(isAbandoned(result));

        auto destroyed = std::make_unique<HttpRequest>(url(QStringLiteral("/version/main.txt")));
        QSignalSpy never(destroyed.get(), &HttpRequest::finished);
        destroyed->start();
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 2);
        destroyed.reset();
        m_service.openGate("/version/main.txt");
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 0);
        QCOMPARE(never.size(), 0);
    }

    // The manager going away with the application ends a waiting request.
    void managerGoneEndsAWaitingRequest()
    {
        m_service.closeGate("/version/main.txt");
        HttpRequest request(url(QStringLiteral("/version/main.txt")));
        QSignalSpy finished(&request, &HttpRequest::finished);
        request.start();
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 1);
        shutDownSharedNetworkManager();
        QVERIFY(finished.wait());
        QCOMPARE(finished.first().first().value<FetchResult>().error().reason, FetchFailure::Quitting);
        m_service.openGate("/version/main.txt");
    }

    void cleanupTestCase()
    {
        shutDownSharedNetworkManager();
        m_service.stop();
    }
};

QTEST_GUILESS_MAIN(HttpTextFetchTest)
#include "http_request_test.moc"
