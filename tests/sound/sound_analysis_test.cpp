// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/network_access.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "sound/sound_analysis.h"
#include "sound/sound_link.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace std::chrono_literals;

class SoundAnalysisTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QString pageAddress(const QString &id) const { return soundPagePrefix(m_service.hostAndPort()) + id; }

    // One analysis to its end.
    static AnalysisResult analyse(const QString &address, const QString &apiHost,
                                  const FetchOptions &options = {})
    {
        SoundAnalysis analysis(address, apiHost, options);
        QSignalSpy finished(&analysis, &SoundAnalysis::finished);
        analysis.start();
        if (finished.isEmpty() && !finished.wait(20000))
            return Unexpected(
                AnalysisError{AnalysisStatus::Abandoned,
                              FetchError{FetchFailure::Transport, QStringLiteral("no end in 20 s")}});
        return finished.first().first().value<AnalysisResult>();
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void analysesEverySample()
    {
        for (const QString &id : SampleService::sampleSoundIds()) {
            const AnalysisResult result = analyse(pageAddress(id), m_service.hostAndPort());
            QVERIFY2(result,
                     qPrintable(id + u' ' + (result ? QString() : analysisDetailText(result.error()))));
            const SoundInfo &record = *result;
            const SampleSound *sample = findSampleSound(id);
            QVERIFY(sample);
            QCOMPARE(record.soundId, id);
            // The service escapes as JSON does: every text comes back as it was.
            QCOMPARE(record.soundName, sample->name);
            QCOMPARE(record.singer, QString(sample->singer).remove(u' '));
            QCOMPARE(record.infoText, QString(sample->introduction).replace(u'\n', QStringLiteral("\r\n")));
            QVERIFY(record.coverUrl.startsWith(m_service.baseUrl()));
            // With or without a query string, the file address is the sound's file.
            QCOMPARE(record.fileUrl, m_service.baseUrl() + QStringLiteral("/audio/%1.wav").arg(id));
            QVERIFY(!record.publishTime.isEmpty());
        }
    }

    // A pasted address asks for its bare id: nothing of the query, fragment
    // or trailing space goes into the request.
    void requestCarriesTheBareId()
    {
        // A bare TCP server sees the request line exactly as sent; the sample
        // service's HTTP library refuses a second "?" before any handler runs.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QByteArray requestHead;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
                requestHead += socket->readAll();
                if (requestHead.contains("\r\n\r\n")) {
                    socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}");
                    socket->disconnectFromHost();
                }
            });
        });

        const QString host = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
        const AnalysisResult result = analyse(QStringLiteral("  ") + soundPagePrefix(host) +
                                                  QStringLiteral("1001?from=share&t=1#top \t"),
                                              host);
        QVERIFY(!result);
        QCOMPARE(int(result.error().reason), int(AnalysisStatus::ExtractFailed));
        const QByteArray requestLine = requestHead.left(requestHead.indexOf("\r\n"));
        QCOMPARE(requestLine, QByteArray("GET /sound/info?sound_id=1001 HTTP/1.1"));
    }

    void gbkAnswerGivesTheSameRecord()
    {
        const QString first = SampleService::sampleSoundIds().first();
        const AnalysisResult utf8 = analyse(pageAddress(first), m_service.hostAndPort());
        QVERIFY(utf8);
        const AnalysisResult gbk = analyse(pageAddress(QStringLiteral("fault-gbk")), m_service.hostAndPort());
        QVERIFY(gbk);
        QCOMPARE(gbk->soundName, utf8->soundName);
        QCOMPARE(gbk->singer, utf8->singer);
        QCOMPARE(gbk->infoText, utf8->infoText);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason"); // empty: any

        // The window's own words, which the command line and the history show too.
        const QString noSound = QStringLiteral("未能获取音乐信息，请检查地址..");
        const int extractFailed = int(AnalysisStatus::ExtractFailed);
        QTest::newRow("unknown sound") << QStringLiteral("999999") << extractFailed << noSound;
        QTest::newRow("error status") << QStringLiteral("fault-status") << extractFailed
                                      << noSound + QStringLiteral("（HTTP 状态码 500）");
        QTest::newRow("empty answer") << QStringLiteral("fault-empty") << extractFailed << noSound;
        QTest::newRow("dropped connection")
            << QStringLiteral("fault-drop") << int(AnalysisStatus::FetchFailed) << QString();
        QTest::newRow("stalled answer")
            << QStringLiteral("fault-stall") << int(AnalysisStatus::FetchFailed) << QString();
    }

    void failures()
    {
        QFETCH(QString, id);
        QFETCH(int, status);
        QFETCH(QString, reason);

        FetchOptions options;
        options.stallTimeout = 500ms;
        const AnalysisResult result = analyse(pageAddress(id), m_service.hostAndPort(), options);
        QVERIFY(!result);
        QCOMPARE(int(result.error().reason), status);
        QVERIFY(!analysisDetailText(result.error()).isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(analysisDetailText(result.error()), reason);
    }

    void cleanupTestCase()
    {
        shutDownSharedNetworkManager();
        m_service.stop();
    }
};

QTEST_GUILESS_MAIN(SoundAnalysisTest)
#include "sound_analysis_test.moc"
