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
        const QString built = QStringLiteral(VEXA_PLAYER_MODULE_DIR);
        QTest::newRow("no folders") << QStringList() << false;
        QTest::newRow("not there") << QStringList{m_empty.path(), QStringLiteral("/nonexistent")} << false;
        QTest::newRow("not a module") << QStringList{m_broken.path()} << false;
        QTest::newRow("built") << QStringList{built} << true;
        QTest::newRow("the first that loads") << QStringList{m_empty.path(), m_broken.path(), built} << true;
    }

    void load()
    {
        QFETCH(QStringList, folders);
        QFETCH(bool, loads);
        QString error;
        PlayerBackend *backend = loadPlayerBackend(folders, &error);
        QCOMPARE(backend != nullptr, loads);
        QCOMPARE(error.isEmpty(), loads);
    }
};

QTEST_MAIN(PlayerModuleTest)
#include "player_module_test.moc"
