// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/history_command.h"
#include "sample_service/sample_service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class HistoryCommandTest : public QObject
{
    Q_OBJECT

private:
    // The program's answer, with its data folder at dataHome.
    static QByteArray history(const QStringList &arguments, const QString &dataHome, int *exitCode)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXA_HELPER_EXE), arguments);
        *exitCode = process.waitForFinished(60000) ? process.exitCode() : -1;
        return process.readAllStandardOutput();
    }

private slots:
    // One line per entry: the line break in the name does not split it, and
    // a failure shows its reason where a saved path would be.
    void table()
    {
        DownloadEntry entry;
        entry.name = QStringLiteral("月光\n下的海");
        entry.singer = QStringLiteral("周以安");
        entry.state = DownloadState::Failed;
        entry.bytesDone = 1536;
        entry.size = 4096;
        entry.error = QStringLiteral("服务器回应 404");
        const QStringList lines = Cli::historyTableText({entry}).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(1).startsWith(QStringLiteral("失败")), qPrintable(lines.at(1)));
        for (const char *part : {"1.5 KiB / 4.0 KiB", "月光 下的海", "周以安", "服务器回应 404"})
            QVERIFY2(lines.at(1).contains(QString::fromUtf8(part)), qPrintable(lines.at(1)));

        // A sound that could not be analysed has no name: its address stands in.
        DownloadEntry unknown;
        unknown.pageAddress = QStringLiteral("http://h/sound/42");
        unknown.state = DownloadState::Failed;
        QVERIFY(Cli::historyTableText({unknown}).contains(unknown.pageAddress));
    }

    // Names, singers and reasons from the service are shown, not acted on.
    void hostileTextInTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("singer");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("window title in the name") << QStringLiteral("\x1b]0;owned\x07歌") << QString()
                                                  << QString() << QStringLiteral("␛]0;owned␇歌");
        QTest::newRow("clear screen as the singer") << QStringLiteral("歌") << QStringLiteral("\x1b[2J\x1b[H")
                                                    << QString() << QStringLiteral("␛[2J␛[H");
        QTest::newRow("clipboard write in the reason")
            << QStringLiteral("歌") << QString() << QStringLiteral("\x1b]52;c;cm0=\x07")
            << QStringLiteral("␛]52;c;cm0=␇");
        QTest::newRow("NUL and an 8-bit CSI") << QStringLiteral("a") + QChar(0) + QStringLiteral("\u009b2J")
                                              << QString() << QString() << QStringLiteral("a␀\\x9b2J");
    }

    void hostileTextInTable()
    {
        QFETCH(QString, name);
        QFETCH(QString, singer);
        QFETCH(QString, error);
        QFETCH(QString, shown);
        DownloadEntry entry;
        entry.name = name;
        entry.singer = singer;
        entry.error = error;
        entry.state = DownloadState::Failed;
        const QString table = Cli::historyTableText({entry});
        QVERIFY2(table.contains(shown), qPrintable(table));
        for (const QChar c : table)
            QVERIFY2(c == u'\n' || (c >= u' ' && c != u'\x7f' && (c < u'\x80' || c >= u'\xa0')),
                     qPrintable(table));
    }

    // What the download command stored, listed by another run.
    void afterADownload()
    {
        SampleService service;
        QVERIFY(service.start());
        QTemporaryDir dir;
        int exitCode = -1;
        history({QStringLiteral("--api-host"), service.hostAndPort(), QStringLiteral("--web-host"),
                 service.hostAndPort(), QStringLiteral("download"),
                 service.soundPageUrl(QStringLiteral("file-bytes-99")), QStringLiteral("-o"), dir.path(),
                 QStringLiteral("--no-tags")},
                dir.path(), &exitCode);
        QCOMPARE(exitCode, 0);
        const QJsonArray rows =
            QJsonDocument::fromJson(
                history({QStringLiteral("history"), QStringLiteral("--json")}, dir.path(), &exitCode))
                .array();
        QCOMPARE(exitCode, 0);
        QCOMPARE(rows.size(), 1);
        const QJsonObject row = rows.first().toObject();
        QCOMPARE(row.keys().size(), 17); // every field but the tags
        QCOMPARE(row.value(QLatin1String("state")).toString(), QStringLiteral("done"));
        QCOMPARE(row.value(QLatin1String("soundId")).toString(), QStringLiteral("file-bytes-99"));
        QCOMPARE(row.value(QLatin1String("size")).toInteger(), 99);
        QCOMPARE(row.value(QLatin1String("savedPath")).toString(),
                 dir.filePath(QStringLiteral("样本服务 - 下载样本 bytes-99.mp3")));
        QVERIFY(row.value(QLatin1String("ended")).toString().endsWith(u'Z'));
        QCOMPARE(Cli::historyJson({}), QByteArray("[]\n"));
    }
};

QTEST_GUILESS_MAIN(HistoryCommandTest)
#include "history_command_test.moc"
