// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {

QString messageTitle()
{
    return QCoreApplication::translate("MessageBoxes", "Quorlen软件");
}

MessageAnswerer &answerer()
{
    static MessageAnswerer instance;
    return instance;
}

} // namespace

void showMessage(QWidget *parent, MessageKind kind, const QString &text, std::function<void()> answered)
{
    if (answerer()) {
        answerer()(kind, messageTitle(), text);
        if (answered)
            answered();
        return;
    }
    auto *box =
        new QMessageBox(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                        messageTitle(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (answered)
        QObject::connect(box, &QMessageBox::finished, box, [answered = std::move(answered)] { answered(); });
    box->open();
}

void setMessageAnswerer(MessageAnswerer answerer)
{
    ::answerer() = std::move(answerer);
}
