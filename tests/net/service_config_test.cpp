// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/service_config.h"

#include <QCommandLineParser>
#include <QTest>

class ServiceConfigTest : public QObject
{
    Q_OBJECT

private slots:
    void validHosts_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("valid");

        QTest::newRow("name") << QStringLiteral("www.vexa.example") << true;
        QTest::newRow("name and port") << QStringLiteral("localhost:8123") << true;
        QTest::newRow("ipv4 and port") << QStringLiteral("127.0.0.1:65535") << true;
        QTest::newRow("underscore") << QStringLiteral("my_host.internal") << true;
        QTest::newRow("chinese name") << QStringLiteral("音乐.example:80") << true;
        QTest::newRow("ipv6 literal and port") << QStringLiteral("[::1]:8080") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("scheme") << QStringLiteral("http://host") << false;
        QTest::newRow("path") << QStringLiteral("host/sound") << false;
        QTest::newRow("user part") << QStringLiteral("user@host") << false;
        QTest::newRow("space") << QStringLiteral("host name") << false;
        QTest::newRow("port zero") << QStringLiteral("host:0") << false;
        QTest::newRow("port too large") << QStringLiteral("host:65536") << false;
        QTest::newRow("empty port") << QStringLiteral("host:") << false;
        QTest::newRow("bare ipv6") << QStringLiteral("::1") << false;
        QTest::newRow("query") << QStringLiteral("host?x=1") << false;
        QTest::newRow("tab") << QStringLiteral("host\t") << false;
        QTest::newRow("trailing line break") << QStringLiteral("host:80\n") << false;
        QTest::newRow("port of six digits") << QStringLiteral("host:000080") << false;
        QTest::newRow("empty brackets") << QStringLiteral("[]:80") << false;
        QTest::newRow("name in brackets") << QStringLiteral("[host]") << false;
        QTest::newRow("text after brackets") << QStringLiteral("[::1]x") << false;
    }

    void validHosts()
    {
        QFETCH(QString, host);
        QFETCH(bool, valid);
        QCOMPARE(isValidHost(host), valid);
    }

    void optionsOverrideOnlyWhatIsGiven()
    {
        QCommandLineParser parser;
        addServiceHostOptions(parser);
        QVERIFY(parser.parse(
            {QStringLiteral("app"), QStringLiteral("--api-host"), QStringLiteral("127.0.0.1:9000")}));

        const ServiceConfig base = ServiceConfig::defaults();
        const auto config = applyServiceHostOptions(parser, base);
        QVERIFY(config);
        QCOMPARE(config->apiHost, QStringLiteral("127.0.0.1:9000"));
        QCOMPARE(config->webHost, base.webHost);
        QCOMPARE(config->updateHost, base.updateHost);
    }

    void badOptionValueIsReported()
    {
        QCommandLineParser parser;
        addServiceHostOptions(parser);
        QVERIFY(
            parser.parse({QStringLiteral("app"), QStringLiteral("--web-host"), QStringLiteral("http://x/")}));

        const auto config = applyServiceHostOptions(parser, ServiceConfig::defaults());
        QVERIFY(!config);
        QCOMPARE(config.error().detail.option, QStringLiteral("web-host"));
        QVERIFY(hostOptionFailureText(config.error()).contains(QStringLiteral("--web-host")));
    }

    void addressesBuiltFromHosts()
    {
        const ServiceConfig config = ServiceConfig::allAt(QStringLiteral("127.0.0.1:8123"));
        QCOMPARE(config.versionFileUrl(), QStringLiteral("http://127.0.0.1:8123/version/main.txt"));
        QCOMPARE(config.hotPageUrl(), QStringLiteral("http://127.0.0.1:8123/?wp"));
        QCOMPARE(config.webHost, QStringLiteral("127.0.0.1:8123"));
        QCOMPARE(config.apiHost, QStringLiteral("127.0.0.1:8123"));
    }
};

QTEST_GUILESS_MAIN(ServiceConfigTest)
#include "service_config_test.moc"
