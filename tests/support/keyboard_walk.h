// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>

// The default skin from the source tree, as the program ships it.
inline QString defaultSkinPath()
{
    return QStringLiteral(VEXA_TEST_DATA_DIR "/../../resources/1.she");
}

// One round of Tab from the control that has the focus: the object names of
// the controls visited, in order. A control without an accessible name, or
// whose look does not change when the focus leaves it, is marked as such.
inline QStringList tabRound()
{
    QStringList round;
    QWidget *const first = QApplication::focusWidget();
    for (QWidget *now = first; now && round.size() < 40;) {
        const QImage focused = now->grab().toImage();
        QString entry = now->objectName();
        const QAccessibleInterface *node = QAccessible::queryAccessibleInterface(now);
        if (!node || node->text(QAccessible::Name).trimmed().isEmpty())
            entry += QStringLiteral(" (no name)");
        QTest::keyClick(now, Qt::Key_Tab);
        if (now->grab().toImage() == focused)
            entry += QStringLiteral(" (no focus mark)");
        round.append(entry);
        now = QApplication::focusWidget();
        if (now == first)
            break;
    }
    return round;
}

// The controls in the window's accessible tree that a user acts on but a
// screen reader could not name, as "role objectName".
inline QStringList unnamedControls(QWidget *window)
{
    using R = QAccessible::Role;
    const QList<R> acted = {R::Button, R::PushButton,   R::CheckBox, R::RadioButton, R::ComboBox, R::Link,
                            R::Slider, R::EditableText, R::SpinBox,  R::List,        R::Tree,     R::Table};
    QStringList unnamed;
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        if (!node || !node->isValid())
            return;
        const bool isActed = acted.contains(node->role());
        if (isActed && node->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(QStringLiteral("%1 %2").arg(int(node->role())).arg(node->object()->objectName()));
        // The items of lists and boxes are named by their data.
        if (isActed && node->role() != R::EditableText)
            return;
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(window));
    return unnamed;
}
