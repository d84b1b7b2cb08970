#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "services/network_access.h"
#include "sound/sound_analysis.h"
#include "sound/sound_link.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace std::chrono_literals;

class SoundAnalysisTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QString pageAddress(const QString &id) const { return SoundPagePrefix(m_service.hostAndPort()) + id; }

    static bool recordEquals(const WorkSlots &a, const WorkSlots &b)
    {
        for (int i = 4; i <= 35; ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void analysesEverySample()
    {
        for (const QString &id : SampleService::sampleSoundIds()) {
            WorkSlots work;
            const AnalysisResult result = RunSoundAnalysis(work, pageAddress(id), m_service.hostAndPort());
            QVERIFY2(result.ok(), qPrintable(id + u' ' + result.error));
            QCOMPARE(work[SoundIdSlot], id);
            QVERIFY(work[RawResponseSlot].contains(QStringLiteral("\"pic_200\":\"")));
            QVERIFY(!work[SoundNameSlot].isEmpty());
            QVERIFY(!work[SingerSlot].contains(u' '));
            QVERIFY(work[CoverUrlSlot].startsWith(m_service.baseUrl()));
            // Without a query string the cut finds no "?" and the file address is empty.
            const SampleSound *sample = findSampleSound(id);
            QVERIFY(sample);
            if (sample->fileQuery)
                QCOMPARE(work[FileUrlSlot], m_service.baseUrl() + QStringLiteral("/audio/%1.wav").arg(id));
            else
                QCOMPARE(work[FileUrlSlot], QString());
            QVERIFY(!work[PublishTimeSlot].isEmpty());
        }
    }

    void requestCarriesTheIdVerbatim()
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
        WorkSlots work;
        const AnalysisResult result =
            RunSoundAnalysis(work, SoundPagePrefix(host) + QStringLiteral("1001?from=share&t=1 "), host);
        QCOMPARE(int(result.status), int(AnalysisStatus::ExtractFailed));
        QCOMPARE(work[SoundIdSlot], QStringLiteral("1001?from=share&t=1 "));
        const QByteArray requestLine = requestHead.left(requestHead.indexOf("\r\n"));
        // The trailing space of the id can only travel percent-encoded.
        QCOMPARE(requestLine, QByteArray("GET /sound/info?sound_id=1001?from=share&t=1%20 HTTP/1.1"));
    }

    void gbkAnswerGivesTheSameRecord()
    {
        const QString first = SampleService::sampleSoundIds().first();
        WorkSlots utf8;
        QVERIFY(RunSoundAnalysis(utf8, pageAddress(first), m_service.hostAndPort()).ok());
        WorkSlots gbk;
        const AnalysisResult result =
            RunSoundAnalysis(gbk, pageAddress(QStringLiteral("fault-gbk")), m_service.hostAndPort());
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(gbk[SoundNameSlot], utf8[SoundNameSlot]);
        QCOMPARE(gbk[SingerSlot], utf8[SingerSlot]);
        QCOMPARE(gbk[InfoTextSlot], utf8[InfoTextSlot]);
    }

    // A failed run must leave the previous record usable.
    void failuresKeepThePreviousRecord_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("responseReplaced");

        QTest::newRow("unknown sound")
            << QStringLiteral("999999") << int(AnalysisStatus::ExtractFailed) << true;
        QTest::newRow("error status")
            << QStringLiteral("fault-status") << int(AnalysisStatus::ExtractFailed) << true;
        QTest::newRow("empty answer")
            << QStringLiteral("fault-empty") << int(AnalysisStatus::ExtractFailed) << true;
        QTest::newRow("dropped connection")
            << QStringLiteral("fault-drop") << int(AnalysisStatus::FetchFailed) << false;
        QTest::newRow("stalled answer")
            << QStringLiteral("fault-stall") << int(AnalysisStatus::FetchFailed) << false;
    }

    void failuresKeepThePreviousRecord()
    {
        QFETCH(QString, id);
        QFETCH(int, status);
        QFETCH(bool, responseReplaced);

        WorkSlots work;
        QVERIFY(RunSoundAnalysis(work, pageAddress(SampleService::sampleSoundIds().first()),
                                 m_service.hostAndPort())
                    .ok());
        const WorkSlots before = work;

        FetchOptions options;
        options.stallTimeout = 500ms;
        const AnalysisResult result =
            RunSoundAnalysis(work, pageAddress(id), m_service.hostAndPort(), options);
        QCOMPARE(int(result.status), status);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(work[SoundIdSlot], id);
        QCOMPARE(work[RawResponseSlot] != before[RawResponseSlot], responseReplaced);
        QVERIFY(recordEquals(work, before));
    }

    void cleanupTestCase()
    {
        ShutDownSharedNetworkManager();
        m_service.stop();
    }
};

QTEST_GUILESS_MAIN(SoundAnalysisTest)
#include "sound_analysis_test.moc"
