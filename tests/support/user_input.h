// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Clicks as a user makes them: sent to the window at the control's
// position, so Qt picks the widget under the pointer. A control that another
// widget covers never receives them, as it never would under a real mouse.

#include <QAbstractItemView>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace UserInput {

// Shown and exposed: ready for clicks. False when it never came up.
inline bool shown(QWidget *window)
{
    window->show();
    return QTest::qWaitForWindowExposed(window);
}

// The point in the top-level window where `at` (in the control's
// coordinates, its centre by default) lies.
inline QPoint windowPoint(const QWidget *control, QPoint at = {})
{
    const QPoint local = at.isNull() ? control->rect().center() : at;
    return control->mapTo(control->window(), local);
}

inline QWindow *windowOf(const QWidget *control)
{
    QWindow *handle = control->window()->windowHandle();
    if (!handle)
        qFatal("%s is not in a shown window", qPrintable(control->objectName()));
    return handle;
}

inline void click(const QWidget *control, Qt::MouseButton button = Qt::LeftButton, QPoint at = {},
                  Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(windowOf(control), button, modifiers, windowPoint(control, at));
}

inline void doubleClick(const QWidget *control, QPoint at = {})
{
    QTest::mouseDClick(windowOf(control), Qt::LeftButton, {}, windowPoint(control, at));
}

inline void press(const QWidget *control, QPoint at = {})
{
    QTest::mousePress(windowOf(control), Qt::LeftButton, {}, windowPoint(control, at));
}

inline void release(const QWidget *control, QPoint at = {})
{
    QTest::mouseRelease(windowOf(control), Qt::LeftButton, {}, windowPoint(control, at));
}

// The pointer moved there: a hover, or a drag's step while a button is held.
inline void move(const QWidget *control, QPoint at = {})
{
    QTest::mouseMove(windowOf(control), windowPoint(control, at));
}

// Pressed at `from`, moved to `to` in steps and released there, as a hand drags.
inline void drag(const QWidget *control, QPoint from, QPoint to, int steps = 8)
{
    press(control, from);
    for (int i = 1; i <= steps; ++i)
        move(control, from + (to - from) * i / steps);
    release(control, to);
}

// A row of a list or table, clicked or double-clicked where it is drawn.
inline QPoint rowPoint(const QAbstractItemView *view, int row, int column = 0)
{
    return view->viewport()->mapTo(view, view->visualRect(view->model()->index(row, column)).center());
}

inline void clickRow(const QAbstractItemView *view, int row, Qt::MouseButton button = Qt::LeftButton,
                     Qt::KeyboardModifiers modifiers = {})
{
    click(view, button, rowPoint(view, row), modifiers);
}

inline void doubleClickRow(const QAbstractItemView *view, int row)
{
    doubleClick(view, rowPoint(view, row));
}

} // namespace UserInput
