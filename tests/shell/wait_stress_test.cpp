// Cross-cutting: analyses, refreshes and window closes nested inside each other's waits, and the
// program ended while a fetch is pending.
#include "hotlist/hot_list_window.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "services/network_access.h"
#include "shell/main_window.h"
#include "sound/sound_info.h"
#include "support/start_up.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <csignal>
#include <functional>

using namespace std::chrono_literals;

namespace {

const QString Analysed = QStringLiteral("音乐分析完毕..");

int rowCount(HotListWindow &window)
{
    return window.findChild<QTreeView *>(QStringLiteral("ListView1"))->model()->rowCount();
}

} // namespace

class WaitStressTest : public QObject
{
    Q_OBJECT

    SampleService m_service;

    bool requested(const QByteArray &path) const
    {
        const QList<RecordedRequest> all = m_service.requests();
        return std::any_of(all.begin(), all.end(), [&](const RecordedRequest &r) { return r.path == path; });
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { ShutDownSharedNetworkManager(); }
    void init()
    {
        m_service.clearFaults();
        m_service.clearRequests();
        m_service.setAnswerDelay(0ms);
    }

    // Every action is started from a timer that fires inside the waits of
    // the actions before it, so they nest many levels deep and end out of order.
    void analysesAndRefreshesInsideEachOthersWaits()
    {
        const ServiceConfig config = ServiceConfig::allAt(m_service.hostAndPort());
        FetchOptions options;
        options.stallTimeout = 20s;
        MainWindow main(config, options);
        main.setSkinPath(QStringLiteral("/nonexistent/1.she"));
        QVERIFY(StartUpAndWait(main));
        HotListWindow hot(config, &main, options);
        hot.showHotList();
        m_service.setAnswerDelay(150ms);

        const QStringList ids = SampleService::sampleSoundIds();
        constexpr int Analyses = 50;
        constexpr int Refreshes = 20;
        int analyses = 0;
        int refreshes = 0;
        int running = 0;
        int deepest = 0;
        QString lastId;
        std::function<void()> step = [&] {
            if (analyses + refreshes == Analyses + Refreshes)
                return;
            const int action = analyses + refreshes;
            // Scheduled first, so the next action runs inside this one's wait;
            // every tenth pause lets the nested waits unwind.
            QTimer::singleShot(action % 10 == 9 ? 300 : 25, &main, step);
            deepest = std::max(deepest, ++running);
            if (action % 7 == 2 || action % 7 == 5) {
                ++refreshes;
                if (refreshes % 4 == 0) {
                    QTimer::singleShot(40, &hot, [&hot] { hot.unload(); });
                    QTimer::singleShot(80, &hot, [&hot] { hot.showHotList(); });
                }
                hot.refresh();
            } else {
                lastId = ids.at(analyses % ids.size());
                ++analyses;
                main.setAddressText(m_service.soundPageUrl(lastId));
                main.hqyy();
            }
            --running;
        };
        QTimer::singleShot(0, &main, step);
        QTRY_VERIFY_WITH_TIMEOUT(analyses + refreshes == Analyses + Refreshes && running == 0, 60000);
        QCOMPARE(refreshes, Refreshes);
        QVERIFY2(deepest >= 5, qPrintable(QString::number(deepest))); // they did run inside each other

        // The last analysis started is the one on screen.
        QCOMPARE(main.soundInfo().soundId, lastId);
        QCOMPARE(main.statusText(2), Analysed);
        QCOMPARE(main.findChild<QLabel *>(QStringLiteral("Label3"))->toolTip(),
                 findSampleSound(lastId)->name);
        QVERIFY(main.findChild<QLineEdit *>(QStringLiteral("Text1"))->isEnabled());
        QVERIFY(main.findChild<QPushButton *>(QStringLiteral("Command1"))->isEnabled());

        // Both windows still work.
        m_service.setAnswerDelay(0ms);
        hot.showHotList();
        hot.refresh();
        QCOMPARE(rowCount(hot), 15);
        main.setAddressText(m_service.soundPageUrl(ids.first()));
        main.hqyy();
        QCOMPARE(main.soundInfo().soundId, ids.first());
    }

    // A termination request while the program waits for the network ends
    // it through its event loop: waits unwind, windows are destroyed in
    // order, and the sanitizers (in that build) find nothing.
    void terminatedDuringAPendingFetch_data()
    {
        QTest::addColumn<QByteArray>("stalledPath");
        QTest::newRow("update check") << QByteArray("/version/main.txt");
        QTest::newRow("analysis") << QByteArray("/sound/info");
    }
    void terminatedDuringAPendingFetch()
    {
        QFETCH(QByteArray, stalledPath);
        m_service.setFault(stalledPath, "stall?seconds=60");
        const QString host = m_service.hostAndPort();

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXA_HELPER_EXE),
                      {QStringLiteral("--web-host"), host, QStringLiteral("--api-host"), host,
                       QStringLiteral("--update-host"), host, QStringLiteral("--address"),
                       m_service.soundPageUrl(QStringLiteral("1001"))});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(requested(stalledPath), 30000);
        QTest::qWait(200); // well inside the wait
        process.terminate();
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            QFAIL("still running after the termination request");
        }
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + SIGTERM);
        QVERIFY2(!err.contains(QLatin1String("Sanitizer")) && !err.contains(QLatin1String("runtime error")),
                 qPrintable(err));
    }
};

QTEST_MAIN(WaitStressTest)
#include "wait_stress_test.moc"
