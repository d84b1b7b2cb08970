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

QuestionAnswerer &questionAnswerer()
{
    static QuestionAnswerer instance;
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
    // Texts carry names and versions from the service: never markup.
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (answered)
        QObject::connect(box, &QMessageBox::finished, box, [answered = std::move(answered)] { answered(); });
    box->open();
}

void setMessageAnswerer(MessageAnswerer answerer)
{
    ::answerer() = std::move(answerer);
}

void askQuestion(QWidget *parent, const QString &text, bool withCancel, std::function<void(Answer)> answered)
{
    if (questionAnswerer()) {
        const Answer answer = questionAnswerer()(messageTitle(), text);
        if (answered)
            answered(answer);
        return;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    auto *box = new QMessageBox(QMessageBox::Question, messageTitle(), text, buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (answered)
        QObject::connect(box, &QMessageBox::finished, box,
                         [answered = std::move(answered), withCancel](int button) {
                             if (button == QMessageBox::Yes)
                                 answered(Answer::Yes);
                             else if (button == QMessageBox::No || !withCancel)
                                 answered(Answer::No);
                             else
                                 answered(Answer::Cancel);
                         });
    box->open();
}

void setQuestionAnswerer(QuestionAnswerer answerer)
{
    questionAnswerer() = std::move(answerer);
}
