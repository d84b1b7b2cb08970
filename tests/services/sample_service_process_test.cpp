#include "services/sample_service_process.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

bool isRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

} // namespace

class SampleServiceProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void readyWithItsAddress()
    {
        auto service = std::make_unique<SampleServiceProcess>();
        QSignalSpy ready(service.get(), &SampleServiceProcess::ready);
        service->start(QStringLiteral(VEXA_SAMPLE_SERVICE_EXE));
        QVERIFY(ready.wait(30000));
        QVERIFY(service->hostAndPort().startsWith(QStringLiteral("127.0.0.1:")));
        const QString page = QStringLiteral("http://%1/sound/1001").arg(service->hostAndPort());
        QCOMPARE(service->sampleSoundIds().first(), QStringLiteral("1001"));
        QVERIFY(service->summary().contains(page));
        QCOMPARE(service->pageAddress(QStringLiteral("1001")), page);
        QCOMPARE(service->pageAddress(QStringLiteral("http://x/sound/1")),
                 QStringLiteral("http://x/sound/1"));

        const qint64 pid = service->processId();
        QVERIFY(isRunning(pid));
        service.reset();
        QVERIFY(!isRunning(pid));
    }

    // What a child that is not the service, or not yet, gives.
    void failures_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: no such program
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("fake-service did not start: ");
        QTest::newRow("ends at once") << QByteArray("exit 3") << QStringLiteral("ended with status 3");
        QTest::newRow("says something else") << QByteArray("echo hello; exec sleep 60")
                                             << QStringLiteral("said \"hello\" instead of its port");
        QTest::newRow("bad port") << QByteArray("echo vexa-sample-service listening on http://127.0.0.1:0; "
                                                "echo summary; echo sample sounds: 1; exec sleep 60")
                                  << QStringLiteral("told its port in an unknown form");
        QTest::newRow("silent") << QByteArray("exec sleep 60") << QStringLiteral("told no port within 0.5 s");
    }

    void failures()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("fake-service"));
        if (!script.isEmpty()) {
            QFile file(program);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n" + script + '\n');
            file.close();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        SampleServiceProcess service;
        service.setReadyTimeout(500ms);
        QSignalSpy ready(&service, &SampleServiceProcess::ready);
        QSignalSpy failed(&service, &SampleServiceProcess::failed);
        service.start(program);
        const qint64 pid = service.processId();
        QCOMPARE(failed.count(), 0); // never from inside start()
        QVERIFY(failed.wait(30000));
        const QString message = failed.first().first().toString();
        QVERIFY2(
            message.startsWith(QStringLiteral("the sample service could not start on a loopback port: ")),
            qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        QCOMPARE(ready.count(), 0);
        if (pid > 0)
            QTRY_VERIFY(!isRunning(pid));
    }
};

QTEST_GUILESS_MAIN(SampleServiceProcessTest)
#include "sample_service_process_test.moc"
