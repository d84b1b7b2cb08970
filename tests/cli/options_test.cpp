// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/options.h"

#include <QCommandLineParser>
#include <QTest>

class OptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void wantsCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("commandLine");

        QTest::newRow("nothing opens the windows") << QStringList{} << false;
        QTest::newRow("demo windows") << QStringList{QStringLiteral("--demo")} << false;
        QTest::newRow("valued options only")
            << QStringList{QStringLiteral("--web-host"), QStringLiteral("h"), QStringLiteral("--screenshot"),
                           QStringLiteral("f.png")}
            << false;
        QTest::newRow("value that looks like a command")
            << QStringList{QStringLiteral("--api-host"), QStringLiteral("info")} << false;
        QTest::newRow("single-dash value that looks like a command")
            << QStringList{QStringLiteral("-address"), QStringLiteral("hot")} << false;
        QTest::newRow("command") << QStringList{QStringLiteral("info"), QStringLiteral("http://x")} << true;
        QTest::newRow("demo command")
            << QStringList{QStringLiteral("--demo"), QStringLiteral("info"), QStringLiteral("x")} << true;
        QTest::newRow("command after a valued option")
            << QStringList{QStringLiteral("--timeout"), QStringLiteral("5"), QStringLiteral("hot")} << true;
        QTest::newRow("long help") << QStringList{QStringLiteral("--help")} << true;
        QTest::newRow("single-dash help") << QStringList{QStringLiteral("-help")} << true;
        QTest::newRow("short version") << QStringList{QStringLiteral("-v")} << true;
        QTest::newRow("long version") << QStringList{QStringLiteral("--version")} << true;
        QTest::newRow("unknown command is reported") << QStringList{QStringLiteral("bogus")} << true;
        QTest::newRow("unknown option is reported")
            << QStringList{QStringLiteral("--demo"), QStringLiteral("--frobnicate")} << true;
        QTest::newRow("value after =")
            << QStringList{QStringLiteral("--web-host=h"), QStringLiteral("-lang=en")} << false;
        QTest::newRow("positional after --")
            << QStringList{QStringLiteral("--"), QStringLiteral("x")} << true;
        QTest::newRow("bare --") << QStringList{QStringLiteral("--")} << false;
        QTest::newRow("web address opens the windows")
            << QStringList{QStringLiteral("--new-window"), QStringLiteral("https://x/sound/1")} << false;
        QTest::newRow("not a web address") << QStringList{QStringLiteral("file:///x")} << true;
        // The option, not the command of the same name.
        QTest::newRow("downloads in the window")
            << QStringList{QStringLiteral("--download"), QStringLiteral("http://x/sound/1"),
                           QStringLiteral("http://x/sound/2")}
            << false;
        QTest::newRow("download command")
            << QStringList{QStringLiteral("download"), QStringLiteral("http://x/sound/1")} << true;
    }

    void wantsCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, commandLine);
        QCOMPARE(Options::wantsCommandLine(arguments), commandLine);
    }

    // Each front takes its own options and both take the shared ones.
    void frontsTakeTheirOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("commandLine");
        QTest::newRow("demo") << QStringList{QStringLiteral("--demo")} << true << true;
        QTest::newRow("address") << QStringList{QStringLiteral("--address"), QStringLiteral("1001")} << true
                                 << false;
        QTest::newRow("json") << QStringList{QStringLiteral("--json")} << false << true;
        QTest::newRow("download") << QStringList{QStringLiteral("--download")} << true << false;
        QTest::newRow("help") << QStringList{QStringLiteral("-h")} << false << true;
    }

    void frontsTakeTheirOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, window);
        QFETCH(bool, commandLine);
        const auto parses = [&](Options::Front front) {
            QCommandLineParser parser;
            Options::addTo(parser, front);
            return parser.parse(QStringList{QStringLiteral("vexa-helper")} + arguments);
        };
        QCOMPARE(parses(Options::Front::Window), window);
        QCOMPARE(parses(Options::Front::CommandLine), commandLine);
    }
};

QTEST_GUILESS_MAIN(OptionsTest)
#include "options_test.moc"
