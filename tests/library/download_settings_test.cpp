// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/name_template.h"
#include "library/download_settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class DownloadSettingsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
    }

    void init() { QDir(m_config.path() + QStringLiteral("/vexa-helper")).removeRecursively(); }

    void defaultsWhenNothingStored()
    {
        const DownloadSettings loaded = loadDownloadSettings();
        QCOMPARE(loaded.folder, QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
        QCOMPARE(loaded.nameTemplate, DefaultNameTemplate);
        QCOMPARE(loaded.tags, true);
        QCOMPARE(loaded.id3Version, 4);
        QCOMPARE(loaded.clipboardOffers, false);
    }

    void roundTrip()
    {
        DownloadSettings settings = DownloadSettings::defaults();
        QVERIFY(settings.set(QStringLiteral("folder"), m_config.path() + QStringLiteral("/a/../b")));
        QVERIFY(settings.set(QStringLiteral("name"), QStringLiteral("{singer}/{name}")));
        QVERIFY(settings.set(QStringLiteral("tags"), QStringLiteral("No")));
        QVERIFY(settings.set(QStringLiteral("id3-version"), QStringLiteral("3")));
        QVERIFY(settings.set(QStringLiteral("clipboard-offers"), QStringLiteral(" on")));
        QVERIFY(settings.set(QStringLiteral("jobs"), QStringLiteral("5")));
        QVERIFY(saveDownloadSettings(settings));

        const DownloadSettings loaded = loadDownloadSettings();
        QCOMPARE(loaded.folder, m_config.path() + QStringLiteral("/b"));
        QCOMPARE(loaded.nameTemplate, QStringLiteral("{singer}/{name}"));
        QCOMPARE(loaded.tags, false);
        QCOMPARE(loaded.id3Version, 3);
        QCOMPARE(loaded.clipboardOffers, true);
        QCOMPARE(loaded.jobs, 5);
    }

    void refusalKeepsPrevious_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<SettingProblem>("problem");
        QTest::newRow("empty folder")
            << QStringLiteral("folder") << QStringLiteral(" ") << SettingProblem::EmptyFolder;
        QTest::newRow("relative folder")
            << QStringLiteral("folder") << QStringLiteral("Music") << SettingProblem::RelativeFolder;
        QTest::newRow("another user's home")
            << QStringLiteral("folder") << QStringLiteral("~bob/Music") << SettingProblem::RelativeFolder;
        QTest::newRow("unknown field")
            << QStringLiteral("name") << QStringLiteral("{album}") << SettingProblem::BadTemplate;
        QTest::newRow("nothing left")
            << QStringLiteral("name") << QStringLiteral("/") << SettingProblem::BadTemplate;
        QTest::newRow("id3 2") << QStringLiteral("id3-version") << QStringLiteral("2")
                               << SettingProblem::BadId3Version;
        QTest::newRow("tags maybe") << QStringLiteral("tags") << QStringLiteral("maybe")
                                    << SettingProblem::NotYesNo;
        QTest::newRow("clipboard maybe")
            << QStringLiteral("clipboard-offers") << QStringLiteral("maybe") << SettingProblem::NotYesNo;
        QTest::newRow("jobs 0") << QStringLiteral("jobs") << QStringLiteral("0") << SettingProblem::BadJobs;
        QTest::newRow("jobs 11") << QStringLiteral("jobs") << QStringLiteral("11") << SettingProblem::BadJobs;
        QTest::newRow("jobs text") << QStringLiteral("jobs") << QStringLiteral("three")
                                   << SettingProblem::BadJobs;
        QTest::newRow("unknown key") << QStringLiteral("colour") << QStringLiteral("red")
                                     << SettingProblem::UnknownKey;
    }

    void refusalKeepsPrevious()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(SettingProblem, problem);
        DownloadSettings settings = DownloadSettings::defaults();
        const QString before = settings.value(key);
        const auto taken = settings.set(key, text);
        QVERIFY(!taken);
        QCOMPARE(taken.error().reason, problem);
        QCOMPARE(settings.value(key), before);
    }

    // The shell leaves a quoted "~" to the program.
    void homeFolder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folder");
        QTest::newRow("home") << QStringLiteral("~") << QDir::homePath();
        QTest::newRow("below home") << QStringLiteral("~/Music/../音乐")
                                    << QDir::homePath() + QStringLiteral("/音乐");
        QTest::newRow("tilde inside") << QStringLiteral("/srv/~/a") << QStringLiteral("/srv/~/a");
    }

    void homeFolder()
    {
        QFETCH(QString, text);
        QFETCH(QString, folder);
        DownloadSettings settings;
        QVERIFY(settings.set(QStringLiteral("folder"), text));
        QCOMPARE(settings.folder, folder);
    }

    // A refused stored value falls back, and the caller is told which and why.
    void storedBadValueFallsBack()
    {
        {
            QSettings stored(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("vexa-helper"),
                             QStringLiteral("vexa-helper"));
            stored.setValue(QStringLiteral("name"), QStringLiteral("{nope}"));
            stored.setValue(QStringLiteral("id3-version"), 7);
            stored.setValue(QStringLiteral("jobs"), 999);
            stored.setValue(QStringLiteral("tags"), QStringLiteral("false"));
        }
        QStringList problems;
        const DownloadSettings loaded = loadDownloadSettings(&problems);
        QCOMPARE(loaded.nameTemplate, DefaultNameTemplate);
        QCOMPARE(loaded.id3Version, 4);
        QCOMPARE(loaded.jobs, 3);
        QCOMPARE(loaded.tags, false);
        QCOMPARE(problems.size(), 3);
        for (const char *part : {"name={nope}", "id3-version=7", "jobs=999"})
            QVERIFY2(problems.filter(QString::fromUtf8(part)).size() == 1, part);
        QVERIFY2(problems.first().contains(QStringLiteral("vexa-helper.ini")) &&
                     problems.first().endsWith(DefaultNameTemplate),
                 qPrintable(problems.first()));
    }

    void unwritableFileReported()
    {
        // A folder where the file belongs cannot be written even by root.
        QVERIFY(QDir(m_config.path()).mkpath(QStringLiteral("vexa-helper/vexa-helper.ini")));
        const auto saved = saveDownloadSettings(DownloadSettings::defaults());
        QVERIFY(!saved);
        QCOMPARE(saved.error().reason, SettingProblem::Unwritable);
        QVERIFY(settingProblemText(saved.error()).contains(QStringLiteral("vexa-helper.ini")));
    }
};

QTEST_GUILESS_MAIN(DownloadSettingsTest)
#include "download_settings_test.moc"
