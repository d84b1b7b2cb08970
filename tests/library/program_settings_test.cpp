// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/program_settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ProgramSettingsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_config;

    static QString fileName() { return openSettingsFile().fileName(); }

    // As another run of the program stores it (the file replaced), or as an
    // editor writes it (the same file rewritten).
    static void store(const QString &folder, bool inPlace)
    {
        if (!inPlace) {
            DownloadSettings settings = loadDownloadSettings();
            settings.folder = folder;
            QVERIFY(saveDownloadSettings(settings, {QStringLiteral("folder")}));
            return;
        }
        QFile file(fileName());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[General]\nfolder=" + folder.toUtf8() + "\njobs=5\n");
    }

private slots:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config->path());
    }

    void followsTheFile_data()
    {
        QTest::addColumn<bool>("fileAtStart");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("replaced") << true << false;
        QTest::newRow("rewritten in place") << true << true;
        QTest::newRow("made after the start") << false << false;
    }

    // Twice: the first replacement must not end the watch. Of two lengths:
    // QSettings tells a file changed by its size and time, and two writes
    // can fall in one tick of the file system's clock.
    void followsTheFile()
    {
        QFETCH(bool, fileAtStart);
        QFETCH(bool, inPlace);
        if (fileAtStart)
            store(m_config->filePath(QStringLiteral("first")), false);
        ProgramSettings settings;
        QSignalSpy changed(&settings, &ProgramSettings::changed);
        for (const char *name : {"a", "bb"}) {
            const QString folder = m_config->filePath(QLatin1String(name));
            store(folder, inPlace);
            QTRY_COMPARE(settings.current().folder, folder);
        }
        QCOMPARE(changed.size(), 2);
    }

    // A value left alone is not written, so one stored meanwhile elsewhere
    // stays, and is taken in.
    void changeStoresOnlyItsKeys()
    {
        ProgramSettings settings;
        DownloadSettings edited = settings.current();
        edited.nameTemplate = QStringLiteral("{id}");
        const QString newer = m_config->filePath(QStringLiteral("newer"));
        store(newer, false);
        QVERIFY(settings.change(edited, {QStringLiteral("name")}));
        QCOMPARE(loadDownloadSettings().folder, newer);
        QCOMPARE(loadDownloadSettings().nameTemplate, edited.nameTemplate);
        QTRY_COMPARE(settings.current().folder, newer);
        QCOMPARE(settings.current().nameTemplate, edited.nameTemplate);
    }

    // What cannot be stored holds for the run, through later changes of
    // other keys in the file, and is told.
    void unsavedHoldsForTheRun()
    {
        ProgramSettings settings;
        QSignalSpy failed(&settings, &ProgramSettings::saveFailed);
        // A folder where the file belongs stops writes even for root.
        QVERIFY(QDir().mkpath(fileName()));
        DownloadSettings edited = settings.current();
        edited.jobs = 7;
        QVERIFY(!settings.change(edited, {QStringLiteral("jobs")}));
        QVERIFY(QDir(fileName()).removeRecursively());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(settings.current().jobs, 7);
        const QString newer = m_config->filePath(QStringLiteral("newer"));
        store(newer, false);
        QTRY_COMPARE(settings.current().folder, newer);
        QCOMPARE(settings.current().jobs, 7);
    }
};

QTEST_GUILESS_MAIN(ProgramSettingsTest)
#include "program_settings_test.moc"
