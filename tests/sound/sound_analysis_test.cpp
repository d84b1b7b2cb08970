#include "sample_service/sample_service.h"
#include "sound/sound_analysis.h"
#include "sound/sound_link.h"

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
            QVERIFY(work[FileUrlSlot].startsWith(m_service.baseUrl()));
            QVERIFY(!work[PublishTimeSlot].isEmpty());
        }
    }

    void requestCarriesTheIdVerbatim()
    {
        m_service.clearRequests();
        WorkSlots work;
        RunSoundAnalysis(work, pageAddress(QStringLiteral("1001?from=share")), m_service.hostAndPort());
        QCOMPARE(work[SoundIdSlot], QStringLiteral("1001?from=share"));
        const QList<RecordedRequest> requests = m_service.requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().target, QByteArray("/sound/info?sound_id=1001?from=share"));
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

    void cleanupTestCase() { m_service.stop(); }
};

QTEST_GUILESS_MAIN(SoundAnalysisTest)
#include "sound_analysis_test.moc"
