// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/player_module.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class PlayerModuleTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_empty;
    QTemporaryDir m_broken; // holds a file of the module's name that is no module

private slots:
    void initTestCase()
    {
        QFile fake(m_broken.filePath(QStringLiteral(VEXA_PLAYER_MODULE_FILE)));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(QByteArray(4096, 'x'));
    }

    void load_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<ModuleProblem>("problem");
        const QString built = QStringLiteral(VEXA_PLAYER_MODULE_DIR);
        const QStringList none{m_empty.path(), QStringLiteral("/nonexistent")};
        QTest::newRow("no folders") << QStringList() << false << ModuleProblem::Missing;
        QTest::newRow("not there") << none << false << ModuleProblem::Missing;
        QTest::newRow("not a module") << QStringList{m_broken.path()} << false << ModuleProblem::Unusable;
        QTest::newRow("built") << QStringList{built} << true << ModuleProblem{};
        QTest::newRow("the first that loads")
            << QStringList{m_empty.path(), m_broken.path(), built} << true << ModuleProblem{};
    }

    void load()
    {
        QFETCH(QStringList, folders);
        QFETCH(bool, loads);
        QFETCH(ModuleProblem, problem);
        const auto backend = loadPlayerBackend(folders);
        QCOMPARE(backend.has_value(), loads);
        if (loads)
            QVERIFY(*backend);
        else
            QCOMPARE(backend.error().reason, problem);
    }
};

QTEST_MAIN(PlayerModuleTest)
#include "player_module_test.moc"
