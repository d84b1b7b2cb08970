// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shell/message_boxes.h"

#include <QList>
#include <QMessageBox>
#include <QString>

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers every message box shown while it lives, remembering each.
class BoxCloser
{
public:
    BoxCloser()
    {
        setMessageAnswerer([this](MessageKind kind, const QString &title, const QString &text) {
            boxes.append({title, text,
                          kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information});
        });
    }
    ~BoxCloser() { setMessageAnswerer({}); }
    BoxCloser(const BoxCloser &) = delete;
    BoxCloser &operator=(const BoxCloser &) = delete;

    QList<SeenBox> boxes;
};
