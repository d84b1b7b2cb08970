// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

class QWidget;

// The program's message boxes: modal to their window, OK only, titled
// "Quorlen软件". Shown without waiting: answered() runs once the box is
// answered, unless its window went away first.
enum class MessageKind { Warning, Information };

void showMessage(QWidget *parent, MessageKind kind, const QString &text, std::function<void()> answered = {});

// While set, every box goes to the answerer instead of the screen and counts
// as answered when it returns; an empty one puts boxes back on the screen.
// Lets tests answer boxes without hunting for modal widgets.
using MessageAnswerer = std::function<void(MessageKind kind, const QString &title, const QString &text)>;
void setMessageAnswerer(MessageAnswerer answerer);

// A question with Yes and No (and Cancel when asked for), modal to its
// window and shown without waiting; answered() gets the button pressed,
// Cancel (No without one) when the box is closed otherwise.
enum class Answer { Yes, No, Cancel };

void askQuestion(QWidget *parent, const QString &text, bool withCancel, std::function<void(Answer)> answered);

// Like setMessageAnswerer, for questions: the answerer's reply is the answer.
using QuestionAnswerer = std::function<Answer(const QString &title, const QString &text)>;
void setQuestionAnswerer(QuestionAnswerer answerer);
