// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/address_box.h"
#include "support/user_input.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTest>

enum class Board { Text, Cleared, Picture };
Q_DECLARE_METATYPE(Board)

class AddressBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void mouse_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<Board>("clipboard");
        QTest::addColumn<QString>("clipboardText");
        QTest::addColumn<QString>("expected");

        const QString other = QStringLiteral("http://www.example/sound/2002");
        QTest::newRow("click empties, does not paste") << false << Board::Text << other << QString();
        QTest::newRow("double-click pastes") << true << Board::Text << other << other;
        QTest::newRow("double-click, chinese text")
            << true << Board::Text << QStringLiteral("分享 http://x/sound/3")
            << QStringLiteral("分享 http://x/sound/3");
        QTest::newRow("double-click, multi-line text kept verbatim")
            << true << Board::Text << QStringLiteral("http://x/sound/1\r\nsecond line")
            << QStringLiteral("http://x/sound/1\r\nsecond line");
        QTest::newRow("double-click, empty clipboard") << true << Board::Cleared << QString() << QString();
        QTest::newRow("double-click, only a picture") << true << Board::Picture << QString() << QString();
    }

    void mouse()
    {
        QFETCH(bool, doubleClick);
        QFETCH(Board, clipboard);
        QFETCH(QString, clipboardText);
        QFETCH(QString, expected);

        QClipboard *board = QGuiApplication::clipboard();
        if (clipboard == Board::Text) {
            board->setText(clipboardText);
        } else if (clipboard == Board::Cleared) {
            board->clear();
        } else {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::red);
            board->setImage(picture);
        }
        QCOMPARE(board->text(), clipboardText);

        AddressBox box;
        box.resize(300, 24);
        box.setText(QStringLiteral("http://www.example/sound/1001"));
        QVERIFY(UserInput::shown(&box));
        if (doubleClick)
            UserInput::doubleClick(&box, QPoint(40, 12));
        else
            UserInput::click(&box, Qt::LeftButton, QPoint(40, 12));
        QCOMPARE(box.text(), expected);
    }
};

QTEST_MAIN(AddressBoxTest)
#include "address_box_test.moc"
