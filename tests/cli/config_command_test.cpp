// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs the program with its settings in a private config folder.
class ConfigCommandTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Run config(const QStringList &arguments) const
    {
        return run(QStringList{QStringLiteral("config")} + arguments);
    }

    Run run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXA_HELPER_EXE), arguments);
        Run run;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

private slots:
    void init() { QDir(m_config.path() + QStringLiteral("/vexa-helper")).removeRecursively(); }

    void setThenPrint()
    {
        const Run all = config({});
        QCOMPARE(all.exitCode, 0);
        QVERIFY2(all.out.contains(QStringLiteral("\nname={singer} - {name}\ntags=true\nid3-version=4\n")),
                 qPrintable(all.out));
        QVERIFY(all.out.startsWith(QStringLiteral("folder=/")));

        QCOMPARE(config({QStringLiteral("name"), QStringLiteral("{singer}/{name}")}).exitCode, 0);
        QCOMPARE(config({QStringLiteral("tags"), QStringLiteral("off")}).exitCode, 0);
        QCOMPARE(config({QStringLiteral("name")}).out, QStringLiteral("{singer}/{name}\n"));
        QCOMPARE(config({QStringLiteral("tags")}).out, QStringLiteral("false\n"));
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("errPart");
        QTest::newRow("unknown key") << QStringList{QStringLiteral("colour")} << 64
                                     << QStringLiteral("colour");
        QTest::newRow("bad template") << QStringList{QStringLiteral("name"), QStringLiteral("{album}")} << 64
                                      << QStringLiteral("{album}");
        QTest::newRow("bad id3") << QStringList{QStringLiteral("id3-version"), QStringLiteral("2")} << 64
                                 << QStringLiteral("3 or 4");
        QTest::newRow("too many") << QStringList{QStringLiteral("tags"), QStringLiteral("on"),
                                                 QStringLiteral("x")}
                                  << 64 << QStringLiteral("too many");
    }

    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, errPart);
        const Run run = config(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.startsWith(QStringLiteral("vexa-helper: ")) && run.err.contains(errPart),
                 qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // Nothing refused reaches the file.
        QCOMPARE(config({QStringLiteral("id3-version")}).out, QStringLiteral("4\n"));
        QCOMPARE(config({QStringLiteral("name")}).out, QStringLiteral("{singer} - {name}\n"));
    }

    void downloadTakesSettingsUnlessOverridden()
    {
        QTemporaryDir folder;
        QCOMPARE(config({QStringLiteral("folder"), folder.path()}).exitCode, 0);
        QCOMPARE(config({QStringLiteral("name"), QStringLiteral("{id}")}).exitCode, 0);
        const QStringList download = {QStringLiteral("--demo"), QStringLiteral("download"),
                                      QStringLiteral("1001")};
        QCOMPARE(run(download).out.trimmed(), folder.path() + QStringLiteral("/1001.wav"));
        const Run named = run(download + QStringList{QStringLiteral("--name"), QStringLiteral("x")});
        QCOMPARE(named.out.trimmed(), folder.path() + QStringLiteral("/x.wav"));
    }

    void unwritableSettings()
    {
        QVERIFY(QDir(m_config.path()).mkpath(QStringLiteral("vexa-helper/vexa-helper.ini")));
        const Run run = config({QStringLiteral("tags"), QStringLiteral("false")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("not saved")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(ConfigCommandTest)
#include "config_command_test.moc"
