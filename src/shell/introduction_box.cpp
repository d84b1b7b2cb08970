// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/introduction_box.h"

#include "shell/window_chrome.h"

#include <QLabel>
#include <QPlainTextEdit>

IntroductionBox::IntroductionBox(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("introductionBox"));

    auto *heading = new QLabel(tr("音乐简介"), this);
    heading->setObjectName(QStringLiteral("introductionHeading"));
    heading->setGeometry(0, 0, 56, 20);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("introductionText"));
    m_text->setGeometry(0, 24, 385, 217);
    m_text->setFont(uiFont(10.5));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setReadOnly(true);
    m_text->setAccessibleDescription(tr("音乐的文字介绍"));
    heading->setBuddy(m_text); // names it for screen readers
    resize(385, 241);
}

void IntroductionBox::setText(const QString &text)
{
    m_text->setPlainText(text);
}

QString IntroductionBox::text() const
{
    return m_text->toPlainText();
}

QWidget *IntroductionBox::tabStop() const
{
    return m_text;
}
