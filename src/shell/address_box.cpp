// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/address_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>

void AddressBox::mousePressEvent(QMouseEvent *event)
{
    clear();
    QLineEdit::mousePressEvent(event);
}

void AddressBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    clear();
    // Only text counts; a clipboard holding a picture leaves the box empty.
    if (const QClipboard *clipboard = QGuiApplication::clipboard())
        setText(clipboard->text());
    event->accept();
}
