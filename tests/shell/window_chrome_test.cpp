// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/window_chrome.h"
#include "support/user_input.h"

#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

} // namespace

class WindowChromeTest : public QObject
{
    Q_OBJECT

private slots:
    void titleLinkSwallowsPressAndReports()
    {
        PressCounter parent;
        parent.resize(200, 100);
        auto *link = new TitleLink(QStringLiteral("帮助"), &parent);
        link->setGeometry(10, 10, 80, 24);
        QVERIFY(UserInput::shown(&parent));
        QSignalSpy hovered(link, &TitleLink::hovered);
        QSignalSpy released(link, &TitleLink::released);

        UserInput::click(&parent, Qt::LeftButton, QPoint(150, 80));
        QCOMPARE(parent.presses, 1); // the counter itself sees presses off the link

        UserInput::move(link, QPoint(20, 12));
        QCOMPARE(hovered.size(), 1);

        UserInput::press(link, QPoint(20, 12));
        QCOMPARE(parent.presses, 1);
        QVERIFY(released.isEmpty());
        UserInput::release(link, QPoint(20, 12));
        QCOMPARE(released.size(), 1);
    }

    void titleLinkColourOutranksTheSkin()
    {
        qApp->setStyleSheet(QStringLiteral("QLabel { color: #123456; }"));
        QWidget parent;
        auto *link = new TitleLink(QStringLiteral("首页"), &parent);
        QCOMPARE(link->textColor(), TitleLinkNormal);
        link->setTextColor(TitleLinkHighlight);
        QCOMPARE(link->textColor(), TitleLinkHighlight);
        link->ensurePolished();
        QCOMPARE(link->palette().color(QPalette::WindowText), TitleLinkHighlight);
        qApp->setStyleSheet(QString());
    }

    void dragHandlePressRequestsDrag()
    {
        QWidget parent;
        auto *handle = new DragHandle(&parent);
        handle->setGeometry(0, 0, 50, 50);
        QVERIFY(UserInput::shown(&parent));
        QSignalSpy requested(handle, &DragHandle::dragRequested);
        UserInput::press(handle, QPoint(10, 10));
        QCOMPARE(requested.size(), 1);
        UserInput::release(handle, QPoint(10, 10));
    }

    void pictureClickNeedsTheReleaseOnIt_data()
    {
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("clicks");
        QTest::newRow("released on it") << QPoint(20, 20) << 1;
        QTest::newRow("dragged off before the release") << QPoint(60, 20) << 0;
    }

    void pictureClickNeedsTheReleaseOnIt()
    {
        QFETCH(QPoint, releaseAt);
        QFETCH(int, clicks);
        QWidget parent;
        parent.resize(100, 60);
        auto *picture = new ClickablePicture(&parent);
        picture->setGeometry(0, 0, 50, 50);
        QVERIFY(UserInput::shown(&parent));
        QSignalSpy clicked(picture, &ClickablePicture::clicked);
        UserInput::press(picture, QPoint(10, 10));
        UserInput::release(picture, releaseAt);
        QCOMPARE(clicked.size(), clicks);
    }

    // Enter, keypad Enter and Space press a focused link or picture; other
    // keys and modified ones do not.
    void keysPress_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("presses");
        QTest::newRow("return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 1;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1;
        QTest::newRow("space") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << 1;
        QTest::newRow("ctrl+return") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                     << 0;
        QTest::newRow("letter") << int(Qt::Key_A) << Qt::KeyboardModifiers() << 0;
    }

    void keysPress()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, presses);
        QWidget parent;
        auto *link = new TitleLink(QStringLiteral("设置"), &parent);
        auto *picture = new ClickablePicture(&parent);
        QSignalSpy released(link, &TitleLink::released);
        QSignalSpy clicked(picture, &ClickablePicture::clicked);
        QTest::keyClick(link, Qt::Key(key), modifiers);
        QTest::keyClick(picture, Qt::Key(key), modifiers);
        QCOMPARE(released.size(), presses);
        QCOMPARE(clicked.size(), presses);
    }

    // Screen readers see a link and a button that can be pressed; a glyph
    // link is named by its tooltip.
    void pressableForScreenReaders()
    {
        QWidget parent;
        auto *link = new TitleLink(QStringLiteral("x"), &parent);
        link->setToolTip(QStringLiteral("关闭"));
        auto *picture = new ClickablePicture(&parent);
        picture->setToolTip(QStringLiteral("获取热门音乐"));
        QSignalSpy released(link, &TitleLink::released);
        QSignalSpy clicked(picture, &ClickablePicture::clicked);

        const QList<std::pair<QWidget *, QAccessible::Role>> cases = {{link, QAccessible::Link},
                                                                      {picture, QAccessible::Button}};
        for (const auto &[widget, role] : cases) {
            QVERIFY(widget->focusPolicy() & Qt::TabFocus);
            QAccessibleInterface *node = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(node);
            QCOMPARE(node->role(), role);
            QCOMPARE(node->text(QAccessible::Name), widget->toolTip());
            QAccessibleActionInterface *actions = node->actionInterface();
            QVERIFY(actions);
            actions->doAction(QAccessibleActionInterface::pressAction());
        }
        QCOMPARE(released.size(), 1);
        QCOMPARE(clicked.size(), 1);
    }

    void handCursor()
    {
        const QCursor cursor = ::handCursor();
        QCOMPARE(cursor.hotSpot(), QPoint(5, 0));
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }

    // Leaves the application told to quit until the reset at the end, so it runs last.
    void endProgramNowHidesWindowsAndEndsLoops()
    {
        QWidget first;
        QWidget second;
        QVERIFY(UserInput::shown(&first));
        QVERIFY(UserInput::shown(&second));

        endProgramNow();
        // Told to end, an event loop started now returns at once.
        QEventLoop probe;
        QTimer::singleShot(0, &probe, [&] { probe.exit(1); });
        QCOMPARE(probe.exec(), -1);
        QVERIFY(first.isHidden());
        QVERIFY(second.isHidden());

        // exec() clears the quit state that endProgramNow left behind.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
};

QTEST_MAIN(WindowChromeTest)
#include "window_chrome_test.moc"
