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
