// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class SkinTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }

    static QByteArray goodSheet()
    {
        return QStringLiteral("/* 默认皮肤 */\nQLabel { color: #27304a; }\n").toUtf8();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Rows without a name name no file; rows without bytes name a directory.
    void readSkin_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");

        const QByteArray good = goodSheet();
        QTest::newRow("good, chinese comment") << "good.she" << good << QString::fromUtf8(good);
        QTest::newRow("spaces and chinese in the path")
            << QStringLiteral("皮肤 目录/1.she") << good << QString::fromUtf8(good);
        QTest::newRow("exactly 1 MiB")
            << "limit.she" << QByteArray(1024 * 1024, ' ') << QString(1024 * 1024, u' ');
        QTest::newRow("missing") << QString() << QByteArray() << QString();
        QTest::newRow("directory") << "folder.she" << QByteArray() << QString();
        QTest::newRow("invalid utf-8")
            << "latin1.she" << QByteArray("QLabel { font: \xe9t\xe9; }") << QString();
        QTest::newRow("cut-off sequence at the end")
            << "cut.she" << QByteArray("QLabel {}\xe7\x9a") << QString();
        QTest::newRow("nul byte") << "nul.she" << QByteArray("QLabel {}\0QWidget {}", 20) << QString();
        QTest::newRow("over 1 MiB") << "huge.she" << QByteArray(1024 * 1024 + 1, ' ') << QString();
    }

    void readSkin()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);

        const QString path = m_dir.filePath(name.isEmpty() ? QStringLiteral("absent.she") : name);
        if (bytes.isNull() && !name.isEmpty())
            QVERIFY(QDir().mkpath(path));
        else if (!bytes.isNull())
            QVERIFY(!write(name, bytes).isEmpty());
        QCOMPARE(::readSkin(path), expected);
    }

    void applySkin()
    {
        const QString path = write(QStringLiteral("皮肤 目录/apply.she"), goodSheet());
        qApp->setStyleSheet(QString());
        QVERIFY(::applySkin(path));
        QCOMPARE(qApp->styleSheet(), QString::fromUtf8(goodSheet()));

        // A broken or missing skin keeps the look that is there.
        QVERIFY(!::applySkin(m_dir.filePath(QStringLiteral("absent.she"))));
        QVERIFY(!::applySkin(write(QStringLiteral("blank.she"), " \n\t")));
        QCOMPARE(qApp->styleSheet(), QString::fromUtf8(goodSheet()));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(SkinTest)
#include "skin_test.moc"
