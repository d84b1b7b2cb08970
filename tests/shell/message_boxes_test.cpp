// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>

class MessageBoxesTest : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: the boxes on screen below show that removing it works.
    void answererTakesTheBoxAndCanBeRemoved()
    {
        QStringList seen;
        setMessageAnswerer([&](MessageKind kind, const QString &title, const QString &text) {
            seen.append(QStringLiteral("%1 %2 %3").arg(int(kind)).arg(title, text));
        });
        showMessage(nullptr, MessageKind::Warning, QStringLiteral("一"));
        showMessage(nullptr, MessageKind::Information, QStringLiteral("二"));
        setMessageAnswerer({});
        QCOMPARE(seen, (QStringList{QStringLiteral("0 Quorlen软件 一"), QStringLiteral("1 Quorlen软件 二")}));
    }

    void onScreen_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("warning") << int(MessageKind::Warning) << int(QMessageBox::Warning);
        QTest::newRow("information") << int(MessageKind::Information) << int(QMessageBox::Information);
    }

    // Without an answerer the box is a real one, modal to its window: title,
    // icon, OK only. Shown without waiting; answered() follows the answer.
    void onScreen()
    {
        QFETCH(int, kind);
        QFETCH(int, icon);
        QWidget parent;
        bool answered = false;
        showMessage(&parent, MessageKind(kind), QStringLiteral("文字"), [&] { answered = true; });
        auto *box = parent.findChild<QMessageBox *>();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(QStringLiteral("%1|%2|%3|%4")
                     .arg(box->windowTitle(), box->text())
                     .arg(int(box->icon()))
                     .arg(int(box->standardButtons())),
                 QStringLiteral("Quorlen软件|文字|%1|%2").arg(icon).arg(int(QMessageBox::Ok)));
        QVERIFY(!answered);
        box->accept();
        QVERIFY(answered);
    }

    // A box whose window goes away takes its continuation with it.
    void windowGoneBeforeTheAnswer()
    {
        bool answered = false;
        auto parent = std::make_unique<QWidget>();
        showMessage(parent.get(), MessageKind::Warning, QStringLiteral("文字"), [&] { answered = true; });
        parent.reset();
        QVERIFY(!answered);
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "message_boxes_test.moc"
