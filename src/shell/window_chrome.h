// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>

class QKeyEvent;

inline const QColor BorderColor = QColor(0x80, 0x80, 0x80);
// Below the header band, the stored background picture (the picture drawer's "body").
inline const QColor BodyColor = QColor(0xf4, 0xf6, 0xf9);
inline const QColor TitleLinkNormal = QColor(0xFF, 0xFF, 0xFF);
inline const QColor TitleLinkHighlight = QColor(0xE0, 0xE0, 0xE0);

// Ends the program at once: every window is hidden and the event loop is
// told to return; no further event is handled.
void endProgramNow();

// A caption-like link in a window's header: shows the hand cursor, reports
// the pointer moving over it and a button released on it, and swallows the
// press so the window does not start a drag from it. Tab reaches it; Enter
// or Space acts as a click.
class TitleLink : public QLabel
{
    Q_OBJECT

public:
    TitleLink(const QString &caption, QWidget *parent);

    // What a click does, for the keyboard and screen readers.
    void activate() { emit released(); }

    QColor textColor() const { return m_color; }
    void setTextColor(const QColor &color);

signals:
    void hovered();
    void released();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor m_color;
};

// A picture that starts a window drag when pressed (the windows' logos).
class DragHandle : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void dragRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A picture that reports a click: press and release on it, or Enter or
// Space while it has the focus, which Tab gives it.
class ClickablePicture : public QLabel
{
    Q_OBJECT

public:
    explicit ClickablePicture(QWidget *parent = nullptr);

    void activate() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_pressed = false;
};

// Enter, keypad Enter or Space: the keys that press a focused link or picture.
bool isActivationKey(const QKeyEvent *event);

// The windows' Chinese text font: the Windows name first, then faces that
// show the same texts on Linux.
QFont uiFont(qreal pointSize);

// The title links' glyph font ("_", "x"): Consolas where it is installed,
// else the window's own face, which is loaded already; any other monospace
// face would be one more font file read at start for two glyphs.
QFont captionGlyphFont(qreal pointSize);

// The 32 x 32 hand cursor of the title links, hot spot at (5, 0).
QCursor handCursor();
