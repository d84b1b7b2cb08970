// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/update_check.h"
#include "sample_service/sample_service.h"
#include "support/loopback.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(UpdateOutcome)

class UpdateCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void tagAndOutcome_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hasTag");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<UpdateOutcome>("outcome");

        const auto none = [](const char *name, const QString &text) {
            QTest::newRow(name) << text << false << QString() << UpdateOutcome::CheckFailed;
        };
        const auto tagged = [](const char *name, const QString &text, const QString &tag,
                               UpdateOutcome outcome) {
            QTest::newRow(name) << text << true << tag << outcome;
        };

        tagged("current", QStringLiteral("vexa:V1.0|anything"), QStringLiteral("V1.0"),
               UpdateOutcome::UpToDate);
        tagged("text before the marker", QStringLiteral("xyz vexa:V1.0|"), QStringLiteral("V1.0"),
               UpdateOutcome::UpToDate);
        tagged("chinese around", QStringLiteral("版本vexa:V1.0|当前已是最新版本。"), QStringLiteral("V1.0"),
               UpdateOutcome::UpToDate);
        tagged("second bar later", QStringLiteral("vexa:V1.0|a|b"), QStringLiteral("V1.0"),
               UpdateOutcome::UpToDate);
        tagged("leading space kept", QStringLiteral("vexa: V1.0|"), QStringLiteral(" V1.0"),
               UpdateOutcome::OtherVersion);
        tagged("longer version", QStringLiteral("vexa:V1.0.0|"), QStringLiteral("V1.0.0"),
               UpdateOutcome::OtherVersion);
        tagged("older version", QStringLiteral("vexa:V0.9|"), QStringLiteral("V0.9"),
               UpdateOutcome::OtherVersion);
        tagged("line break kept", QStringLiteral("vexa:V1\r\n.0|"), QStringLiteral("V1\r\n.0"),
               UpdateOutcome::OtherVersion);
        tagged("chinese tag", QStringLiteral("vexa:新版|"), QStringLiteral("新版"),
               UpdateOutcome::OtherVersion);
        tagged("empty tag", QStringLiteral("vexa:|"), QString(), UpdateOutcome::CheckFailed);
        none("empty text", QString());
        none("no bar", QStringLiteral("vexa:V1.0"));
        none("upper-case marker", QStringLiteral("VEXA:V1.0|"));
        none("bar only before the marker", QStringLiteral("a|b vexa:V1.0"));
        none("second marker before the bar", QStringLiteral("vexa:V1.1vexa:V1.0|"));
        none("html error page",
             QStringLiteral("<html><head><title>502 Bad Gateway</title></head><body>|</body></html>"));
    }

    void tagAndOutcome()
    {
        QFETCH(QString, text);
        QFETCH(bool, hasTag);
        QFETCH(QString, tag);
        QFETCH(UpdateOutcome, outcome);

        const std::optional<QString> found = versionTagIn(text);
        QCOMPARE(found.has_value(), hasTag);
        if (hasTag)
            QCOMPARE(*found, tag);
        QCOMPARE(decideUpdate(text), outcome);
    }

    void otherVersionMessage_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("message");
        QTest::newRow("plain") << QStringLiteral("V2.0")
                               << QStringLiteral("发现最新版本![V2.0]\r\n \r\n确定后自动打开官方论坛!");
        QTest::newRow("empty") << QString()
                               << QStringLiteral("发现最新版本![]\r\n \r\n确定后自动打开官方论坛!");
        QTest::newRow("leading space")
            << QStringLiteral(" V1.0")
            << QStringLiteral("发现最新版本![ V1.0]\r\n \r\n确定后自动打开官方论坛!");
    }

    void otherVersionMessage()
    {
        QFETCH(QString, tag);
        QFETCH(QString, message);
        QCOMPARE(::otherVersionMessage(tag), message);
    }

    void checkOverTheNetwork_data()
    {
        QTest::addColumn<QByteArray>("versionFile");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<UpdateOutcome>("outcome");
        QTest::addColumn<QString>("tag");
        QTest::newRow("current") << QByteArray("vexa:V1.0|hi") << true << UpdateOutcome::UpToDate << "V1.0";
        QTest::newRow("newer") << QByteArray("vexa:V2.0|") << true << UpdateOutcome::OtherVersion << "V2.0";
        QTest::newRow("error page") << QByteArray("<html>502</html>") << true << UpdateOutcome::CheckFailed
                                    << QString();
        QTest::newRow("unreachable") << QByteArray("vexa:V1.0|") << false << UpdateOutcome::CheckFailed
                                     << QString();
    }

    void checkOverTheNetwork()
    {
        QFETCH(QByteArray, versionFile);
        QFETCH(bool, reachable);
        QFETCH(UpdateOutcome, outcome);
        QFETCH(QString, tag);
        SampleService service;
        QVERIFY(service.start());
        service.setVersionBody(versionFile);
        const QString host = reachable ? service.hostAndPort() : closedLoopbackHost();
        UpdateCheck check(QStringLiteral("http://%1/version/main.txt").arg(host), FetchOptions{});
        QSignalSpy finished(&check, &UpdateCheck::finished);
        check.start();
        QVERIFY(finished.isEmpty()); // never from start() itself
        QTRY_COMPARE(finished.size(), 1);
        const auto result = finished.first().first().value<UpdateCheckResult>();
        QCOMPARE(result ? result->outcome : UpdateOutcome::CheckFailed, outcome);
        QCOMPARE(result ? result->tag : QString(), tag);
        if (!result)
            QCOMPARE(result.error().reason,
                     reachable ? UpdateProblem::Unreadable : UpdateProblem::Unreachable);
    }
};

QTEST_GUILESS_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
