#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QLine>
#include <QList>
#include <QSize>

class QPainter;

// Geometry of the caption-less windows is laid out in twips, 15 to a pixel.
inline constexpr int TwipsPerPixel = 15;

// The pixel a twip coordinate falls in.
constexpr int TwipsToPixels(int twips)
{
    return twips >= 0 ? twips / TwipsPerPixel : -((-twips + TwipsPerPixel - 1) / TwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

inline const QColor BorderColor = QColor(0x80, 0x80, 0x80);
inline const QColor TitleLinkNormal = QColor(0xFF, 0xFF, 0xFF);
inline const QColor TitleLinkHighlight = QColor(0xE0, 0xE0, 0xE0);

// Horizontal extent of a panel inset from the window's left and right border
// lines: left edge at 20 twips, width ScaleWidth - 30 twips, in pixels.
struct PanelSpan
{
    int left = 0;
    int width = 0;
};
PanelSpan insetPanelSpan(QSize clientPixels);

// The border lines, in pixels, of a window whose inner area is clientPixels.
// The main window has no top line: its header picture is its top edge.
QList<QLine> mainWindowBorderLines(QSize clientPixels);
QList<QLine> hotListBorderLines(QSize clientPixels);

void paintBorderLines(QPainter &painter, const QList<QLine> &lines);

// No caption bar and no frame, but still minimisable and restorable from the
// taskbar, with a system menu there.
void setBorderlessStyle(QWidget *window);

// Starts an interactive move of window as a press on a caption bar would.
// False when the platform cannot move windows (offscreen, some Wayland setups).
bool dragWindow(QWidget *window);

// Ends the program at once: every window is hidden and the event loop is
// told to return; no further event is handled.
void endProgramNow();

// A caption-like link in a window's header: shows the hand cursor, reports
// the pointer moving over it and a button released on it, and swallows the
// press so the window does not start a drag from it.
class TitleLink : public QLabel
{
    Q_OBJECT

public:
    TitleLink(int index, const QString &caption, QWidget *parent);

    int index() const { return m_index; }
    QColor textColor() const { return m_color; }
    void setTextColor(const QColor &color);

signals:
    void hovered(int index);
    void released(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_index;
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

// The windows' Chinese text font: the Windows name first, then faces that
// show the same texts on Linux.
QFont uiFont(qreal pointSize);

// The 32 x 32 hand cursor of the title links, hot spot at (5, 0).
QCursor handCursor();
