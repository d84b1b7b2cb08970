// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/http_request.h"
#include "net/network_access.h"
#include "player/sound_stream.h"
#include "sample_service/sample_service.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// A forward proxy on loopback that answers every request itself and keeps
// the request lines it saw.
class RecordingProxy : public QTcpServer
{
public:
    QList<QByteArray> requestLines;

    RecordingProxy()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            auto *head = new QByteArray;
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
                *head += socket->readAll();
                if (!head->contains("\r\n\r\n"))
                    return;
                requestLines << head->left(head->indexOf("\r\n"));
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 13\r\n"
                              "Connection: close\r\n\r\nvia the proxy");
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, [socket, head] {
                delete head;
                socket->deleteLater();
            });
        });
    }
};

// One request to its end.
FetchResult fetch(const QString &address)
{
    HttpRequest request(address);
    QSignalSpy finished(&request, &HttpRequest::finished);
    request.start();
    if (!finished.wait(20000))
        return FetchResult(unexpected(FetchFailure::Transport, QStringLiteral("no end in 20 s")));
    return finished.first().first().value<FetchResult>();
}

class NetworkAccessTest : public QObject
{
    Q_OBJECT

private slots:
    void systemProxyIsUsedExceptForLoopback()
    {
        RecordingProxy proxy;
        QVERIFY(proxy.listen(QHostAddress::LocalHost));
        // The system settings on Linux come from these variables.
        const QByteArray proxyUrl = "http://127.0.0.1:" + QByteArray::number(proxy.serverPort());
        qputenv("http_proxy", proxyUrl);
        qputenv("HTTP_PROXY", proxyUrl);
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");

        const FetchResult remote = fetch(QStringLiteral("http://www.vexa.example/?wp"));
        QVERIFY2(remote.has_value(), qPrintable(remote ? QString() : fetchFailureText(remote.error())));
        QCOMPARE(remote->text, QStringLiteral("via the proxy"));
        QCOMPARE(proxy.requestLines, QList<QByteArray>{"GET http://www.vexa.example/?wp HTTP/1.1"});

        SampleService service;
        QVERIFY(service.start());
        const FetchResult local = fetch(service.baseUrl() + QStringLiteral("/version/main.txt"));
        QVERIFY2(local.has_value(), qPrintable(local ? QString() : fetchFailureText(local.error())));
        QVERIFY(local->text.startsWith(QStringLiteral("vexa:")));
        QCOMPARE(proxy.requestLines.size(), 1);
        QCOMPARE(service.requests().size(), 1);

        // The player's sound goes the same way.
        SoundStream sound(QUrl(QStringLiteral("http://www.vexa.example/audio/1.wav")));
        QSignalSpy opened(&sound, &SoundStream::opened);
        sound.open();
        QVERIFY(opened.wait());
        QCOMPARE(opened.first().first().value<SoundStreamOpening>().size, 13);
        QCOMPARE(proxy.requestLines.last(), QByteArray("GET http://www.vexa.example/audio/1.wav HTTP/1.1"));
    }

    void cleanupTestCase() { shutDownSharedNetworkManager(); }
};

QTEST_GUILESS_MAIN(NetworkAccessTest)
#include "network_access_test.moc"
