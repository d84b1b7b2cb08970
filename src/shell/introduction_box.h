// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class QPlainTextEdit;

// The sound's introduction under its heading: a read-only text box that
// scrolls. A block of its own beside the sound panel, so that neither lies
// over the address row above the panel.
class IntroductionBox : public QWidget
{
    Q_OBJECT

public:
    explicit IntroductionBox(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

    // The one control Tab visits.
    QWidget *tabStop() const;

private:
    QPlainTextEdit *m_text = nullptr;
};
