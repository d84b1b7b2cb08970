// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/vexa_process.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The program runs with its settings in a private config folder.
class ConfigCommandTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

    static VexaRun config(const QStringList &arguments)
    {
        return runVexaHelper(QStringList{QStringLiteral("config")} + arguments);
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()); }
    void init() { QDir(m_config.path() + QStringLiteral("/vexa-helper")).removeRecursively(); }

    void setThenPrint()
    {
        const VexaRun all = config({});
        QCOMPARE(all.exitCode, 0);
        QVERIFY(all.out.startsWith("folder=/"));
        QVERIFY(all.out.endsWith(
            "\nname={singer} - {name}\ntags=true\nid3-version=4\nclipboard-offers=false\njobs=3\n"));

        QCOMPARE(config({QStringLiteral("tags"), QStringLiteral("off")}).exitCode, 0);
        QCOMPARE(config({QStringLiteral("tags")}).out, QByteArray("false\n"));
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("errPart");
        QTest::newRow("unknown key") << QStringList{QStringLiteral("colour")} << QStringLiteral("colour");
        QTest::newRow("bad value") << QStringList{QStringLiteral("name"), QStringLiteral("{album}")}
                                   << QStringLiteral("{album}");
        QTest::newRow("too many") << QStringList{QStringLiteral("tags"), QStringLiteral("on"),
                                                 QStringLiteral("x")}
                                  << QStringLiteral("config 最多接受 KEY 和 VALUE");
        QTest::newRow("relative folder") << QStringList{QStringLiteral("folder"), QStringLiteral("Music")}
                                         << QStringLiteral("须为绝对路径");
    }

    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, errPart);
        const VexaRun run = config(arguments);
        QCOMPARE(run.exitCode, 64);
        QVERIFY2(run.err.startsWith(QStringLiteral("vexa-helper: ")) && run.err.contains(errPart),
                 qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QDir(m_config.path()).exists(QStringLiteral("vexa-helper")));
    }

    // A quoted "~" is the user's home, not a folder named "~" here.
    void homeFolder()
    {
        QCOMPARE(config({QStringLiteral("folder"), QStringLiteral("~/Music")}).exitCode, 0);
        QCOMPARE(config({QStringLiteral("folder")}).out,
                 (QDir::homePath() + QStringLiteral("/Music\n")).toUtf8());
    }

    // Values the file holds but the program refuses are replaced, and said so.
    void refusedStoredValuesAreTold()
    {
        QVERIFY(QDir(m_config.path()).mkpath(QStringLiteral("vexa-helper")));
        QFile file(m_config.path() + QStringLiteral("/vexa-helper/vexa-helper.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nname={title}\njobs=999\ntags=false\n");
        file.close();
        const VexaRun run = config({});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("\nname={singer} - {name}\ntags=false\n"));
        QVERIFY(run.out.contains("\njobs=3\n"));
        const QStringList told = run.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(told.size(), 2);
        QVERIFY2(told.at(0).contains(QStringLiteral("name={title} 有误（未知字段 {title}）")),
                 qPrintable(run.err));
        QVERIFY2(told.at(1).contains(QStringLiteral("jobs=999")) && told.at(1).endsWith(u'3'),
                 qPrintable(run.err));
    }

    void downloadTakesSettingsUnlessOverridden()
    {
        QTemporaryDir folder;
        QCOMPARE(config({QStringLiteral("folder"), folder.path()}).exitCode, 0);
        QCOMPARE(config({QStringLiteral("name"), QStringLiteral("{id}")}).exitCode, 0);
        const QStringList download = {QStringLiteral("--demo"), QStringLiteral("download"),
                                      QStringLiteral("1001")};
        QCOMPARE(runVexaHelper(download).out.trimmed(),
                 (folder.path() + QStringLiteral("/1001.wav")).toUtf8());
        // Forced: the history has the sound as saved already.
        const VexaRun named = runVexaHelper(
            download + QStringList{QStringLiteral("--name"), QStringLiteral("x"), QStringLiteral("--force")});
        QCOMPARE(named.out.trimmed(), (folder.path() + QStringLiteral("/x.wav")).toUtf8());
    }

    void unwritableSettings()
    {
        // A folder where the file belongs cannot be written even by root.
        QVERIFY(QDir(m_config.path()).mkpath(QStringLiteral("vexa-helper/vexa-helper.ini")));
        const VexaRun run = config({QStringLiteral("tags"), QStringLiteral("false")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("设置 tags 未能保存: ")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(ConfigCommandTest)
#include "config_command_test.moc"
