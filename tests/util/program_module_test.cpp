// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/program_module.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class ProgramModuleTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_broken; // holds a file of the window module's name that is no library

private slots:
    void initTestCase()
    {
        QFile fake(m_broken.filePath(QStringLiteral(VEXA_WINDOW_MODULE_FILE)));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(QByteArray(4096, 'x'));
    }

    // Beside the executable first, then the installed folder reached from it.
    void folders()
    {
        const QStringList folders = moduleFolders(QStringLiteral("/opt/vexa/bin"));
        QCOMPARE(folders.size(), 2);
        QCOMPARE(folders.first(), QStringLiteral("/opt/vexa/bin"));
        QVERIFY(folders.last().startsWith(QStringLiteral("/opt/vexa/lib")));
        QVERIFY(folders.last().endsWith(QStringLiteral("/vexa-helper")));
    }

    void function_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<bool>("found");
        QTest::addColumn<ModuleProblem>("problem");
        const QString built = QStringLiteral(VEXA_MODULE_DIR);
        QTest::newRow("built") << QStringList{built} << "vexaRunWindows" << true << ModuleProblem{};
        QTest::newRow("not there") << QStringList{QStringLiteral("/nonexistent")} << "vexaRunWindows" << false
                                   << ModuleProblem::Missing;
        QTest::newRow("not a library")
            << QStringList{m_broken.path()} << "vexaRunWindows" << false << ModuleProblem::Unusable;
        QTest::newRow("past one that is no library")
            << QStringList{m_broken.path(), built} << "vexaRunWindows" << true << ModuleProblem{};
        QTest::newRow("no such function")
            << QStringList{built} << "runGui" << false << ModuleProblem::Unusable;
    }

    void function()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, symbol);
        QFETCH(bool, found);
        QFETCH(ModuleProblem, problem);
        const auto run = loadModuleFunction(folders, QStringLiteral(VEXA_WINDOW_MODULE_FILE),
                                            symbol.toLatin1().constData());
        QCOMPARE(run.has_value(), found);
        if (found)
            QVERIFY(*run);
        else
            QCOMPARE(run.error().reason, problem);
    }
};

QTEST_GUILESS_MAIN(ProgramModuleTest)
#include "program_module_test.moc"
