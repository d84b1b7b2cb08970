// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli_output.h"

#include <QTest>

class CliOutputTest : public QObject
{
    Q_OBJECT

private slots:
    void wrapText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("fits") << QStringLiteral("show this help") << 20
                              << QStringList{QStringLiteral("show this help")};
        QTest::newRow("at spaces") << QStringLiteral("give up when no data arrives") << 12
                                   << QStringList{QStringLiteral("give up when"), QStringLiteral("no data"),
                                                  QStringLiteral("arrives")};
        QTest::newRow("word longer than a line")
            << QStringLiteral("a {shortsinger} b") << 5
            << QStringList{QStringLiteral("a"), QStringLiteral("{shortsinger}"), QStringLiteral("b")};
        // Wide characters count twice and break anywhere, but not before closing punctuation.
        QTest::newRow("chinese") << QStringLiteral("显示此帮助，然后退出") << 10
                                 << QStringList{QStringLiteral("显示此帮助，"), QStringLiteral("然后退出")};
        QTest::newRow("after opening") << QStringLiteral("键（true）") << 6
                                       << QStringList{QStringLiteral("键"), QStringLiteral("（true）")};
        QTest::newRow("mixed") << QStringLiteral("存入 DIR 文件夹") << 8
                               << QStringList{QStringLiteral("存入 DIR"), QStringLiteral("文件夹")};
    }

    void wrapText()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QStringList, lines);
        QCOMPARE(Cli::wrapText(text, width), lines);
    }

    void terminalSafe_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("keepBreaks");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain, tab kept")
            << QStringLiteral("雨巷\tA-1") << false << QStringLiteral("雨巷\tA-1");
        QTest::newRow("window title")
            << QStringLiteral("\x1b]0;owned\x07") << false << QStringLiteral("␛]0;owned␇");
        QTest::newRow("clipboard write")
            << QStringLiteral("\x1b]52;c;cm0=\x1b\\") << false << QStringLiteral("␛]52;c;cm0=␛\\");
        QTest::newRow("NUL, DEL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b\x7f") << false
                                  << QStringLiteral("a␀b␡");
        QTest::newRow("8-bit CSI and OSC")
            << QStringLiteral("\u009b2J\u009d0;x") << false << QStringLiteral("\\x9b2J\\x9d0;x");
        QTest::newRow("breaks shown") << QStringLiteral("a\r\nb") << false << QStringLiteral("a␍␊b");
        QTest::newRow("breaks kept, a lone return shown")
            << QStringLiteral("a\r\nb\nc\rd") << true << QStringLiteral("a\nb\nc␍d");
    }

    void terminalSafe()
    {
        QFETCH(QString, text);
        QFETCH(bool, keepBreaks);
        QFETCH(QString, safe);
        QCOMPARE(Cli::terminalSafe(text, keepBreaks ? Cli::LineBreaks::Kept : Cli::LineBreaks::Shown), safe);
    }

    // Counts as the service's pages and answers write them.
    void jsonCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("plain") << QStringLiteral("42") << QJsonValue(42);
        QTest::newRow("quoted, spaced") << QStringLiteral(" \"42\" ") << QJsonValue(42);
        QTest::newRow("thousands") << QStringLiteral("12,345") << QJsonValue(12345);
        QTest::newRow("ten thousands") << QStringLiteral("1.2万") << QJsonValue(12000);
        QTest::newRow("hundred millions") << QStringLiteral("3亿") << QJsonValue(300000000);
        QTest::newRow("seconds") << QStringLiteral("1600000000") << QJsonValue(1600000000);
        QTest::newRow("fraction") << QStringLiteral("1.5") << QJsonValue(1.5);
        QTest::newRow("nothing") << QString() << QJsonValue(QJsonValue::Null);
        QTest::newRow("words") << QStringLiteral("很多") << QJsonValue(QJsonValue::Null);
        QTest::newRow("unit alone") << QStringLiteral("万") << QJsonValue(QJsonValue::Null);
    }

    void jsonCount()
    {
        QFETCH(QString, text);
        QFETCH(QJsonValue, value);
        QCOMPARE(Cli::jsonCount(text), value);
    }

    void failureLine()
    {
        QCOMPARE(Cli::failureLine(QStringLiteral("无法下载 http://h/a.mp3"), QStringLiteral("answered 404")),
                 QStringLiteral("vexa-helper: 无法下载 http://h/a.mp3: answered 404\n"));
        // Names and reasons come from the service.
        QCOMPARE(Cli::failureLine(QStringLiteral("无法下载 “\x1b[2J”"), QStringLiteral("\x1b]0;x\x07")),
                 QStringLiteral("vexa-helper: 无法下载 “␛[2J”: ␛]0;x␇\n"));
    }
};

QTEST_GUILESS_MAIN(CliOutputTest)
#include "cli_output_test.moc"
