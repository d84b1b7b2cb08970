// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/message_boxes.h"
#include "support/shown_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <optional>

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
        // The text may quote names from the service: shown as written.
        showMessage(&parent, MessageKind(kind), QStringLiteral("<u>文字</u>"), [&] { answered = true; });
        auto *box = parent.findChild<QMessageBox *>();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(QStringLiteral("%1|%2|%3|%4")
                     .arg(box->windowTitle(), shownText(box->text(), box->textFormat()))
                     .arg(int(box->icon()))
                     .arg(int(box->standardButtons())),
                 QStringLiteral("Quorlen软件|<u>文字</u>|%1|%2").arg(icon).arg(int(QMessageBox::Ok)));
        QVERIFY(!answered);
        box->accept();
        QVERIFY(answered);
    }

    void questionButtons_data()
    {
        QTest::addColumn<bool>("withCancel");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << false << int(QMessageBox::Yes) << int(Answer::Yes);
        QTest::newRow("no") << true << int(QMessageBox::No) << int(Answer::No);
        QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << int(Answer::Cancel);
        QTest::newRow("escape without cancel") << false << -1 << int(Answer::No);
        QTest::newRow("escape with cancel") << true << -1 << int(Answer::Cancel);
    }

    // The buttons offered, and each one's answer; Escape is never a Yes.
    void questionButtons()
    {
        QFETCH(bool, withCancel);
        QFETCH(int, button);
        QFETCH(int, answer);
        QWidget parent;
        std::optional<Answer> got;
        askQuestion(&parent, QStringLiteral("删除 <b>歌</b>？"), withCancel, [&](Answer a) { got = a; });
        auto *box = parent.findChild<QMessageBox *>();
        QVERIFY(box);
        QCOMPARE(shownText(box->text(), box->textFormat()), QStringLiteral("删除 <b>歌</b>？"));
        QCOMPARE(bool(box->standardButtons() & QMessageBox::Cancel), withCancel);
        QCOMPARE(box->windowTitle(), QStringLiteral("Quorlen软件"));
        if (button < 0)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::StandardButton(button))->click();
        QVERIFY(got);
        QCOMPARE(int(*got), answer);

        setQuestionAnswerer([](const QString &, const QString &text) {
            return text == QStringLiteral("问题") ? Answer::Yes : Answer::No;
        });
        askQuestion(&parent, QStringLiteral("问题"), false, [&](Answer a) { got = a; });
        setQuestionAnswerer({});
        QCOMPARE(*got, Answer::Yes);
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
