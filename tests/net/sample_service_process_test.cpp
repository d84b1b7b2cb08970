// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/sample_service_process.h"
#include "support/vexa_process.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

class SampleServiceProcessTest : public QObject
{
    Q_OBJECT

private slots:
    // What a child that is not the service, or not yet, gives.
    void failures_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: no such program
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("fake-service 未能运行：");
        QTest::newRow("ends at once") << QByteArray("exit 3") << QStringLiteral("已退出，状态码 3");
        QTest::newRow("says something else")
            << QByteArray("echo hello; exec sleep 60") << QStringLiteral("输出了 “hello”，而不是它的端口");
        QTest::newRow("bad port") << QByteArray("echo vexa-sample-service listening on http://127.0.0.1:0; "
                                                "echo summary; echo sample sounds: 1; "
                                                "echo sound pages: http://127.0.0.1:0/sound/; exec sleep 60")
                                  << QStringLiteral("告知端口的格式未知");
        QTest::newRow("silent") << QByteArray("exec sleep 60") << QStringLiteral("在 0.5 秒内没有告知端口");
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
        // The reason alone, naming the program: callers say what failed.
        QVERIFY2(message.startsWith(program), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        QCOMPARE(ready.count(), 0);
        if (pid > 0)
            QTRY_VERIFY(!processIsRunning(pid));
    }
};

QTEST_GUILESS_MAIN(SampleServiceProcessTest)
#include "sample_service_process_test.moc"
