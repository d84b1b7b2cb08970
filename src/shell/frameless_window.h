// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLine>
#include <QList>
#include <QPixmap>
#include <QWidget>

class DragHandle;
class QLabel;
class TitleLink;

// A caption-less window on the picture backdrop, as both of the program's
// windows are: grey border lines painted under the children, a drag from the
// bare backdrop or the logo, and title links that light up under the pointer
// until it rests on the bare backdrop again. Still minimisable and restorable
// from the taskbar, with a system menu there.
class FramelessWindow : public QWidget
{
    Q_OBJECT

public:
    // A header picture can be the top edge instead of a line.
    enum class TopEdge { Open, Lined };

    explicit FramelessWindow(TopEdge topEdge, QWidget *parent = nullptr);

    // The lines each paint draws, for the window's present size.
    QList<QLine> borderLines() const;

signals:
    // A press on the backdrop or the logo asked to move the window.
    void dragRequested();

protected:
    // The pale panel picture under the body, stretched between the side lines.
    QLabel *addPanel(int top, int height);
    DragHandle *addLogo(const QPoint &position);
    // The logo's glyph with this window's own title beside it, for windows
    // other than the main one, whose logo names the program.
    DragHandle *addTitledLogo(const QPoint &position, const QString &title);
    // The caller connects the link's released() to what it does.
    TitleLink *addTitleLink(const QString &name, const QString &caption, const QRect &geometry,
                            const QFont &font, const QString &toolTip = {});
    void resetTitleLinks();
    // Tab visits the body's controls in this order, then the title links
    // from left to right, then starts over.
    void setTabChain(const QList<QWidget *> &body);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void startDrag();
    void highlight(TitleLink *link);

    TopEdge m_topEdge;
    QPixmap m_background;
    QList<TitleLink *> m_titleLinks;
};
