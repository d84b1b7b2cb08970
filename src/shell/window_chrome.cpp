#include "shell/window_chrome.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWindow>

namespace {

QLine twipLine(int x1, int y1, int x2, int y2)
{
    return QLine(TwipsToPixels(x1), TwipsToPixels(y1), TwipsToPixels(x2), TwipsToPixels(y2));
}

} // namespace

PanelSpan insetPanelSpan(QSize clientPixels)
{
    const int scaleWidth = PixelsToTwips(clientPixels.width());
    return {TwipsToPixels(20), TwipsToPixels(scaleWidth - 30)};
}

QList<QLine> mainWindowBorderLines(QSize clientPixels)
{
    const int w = PixelsToTwips(clientPixels.width());
    const int h = PixelsToTwips(clientPixels.height());
    return {
        twipLine(0, 0, 0, h),           // left edge
        twipLine(w, h - 30, 0, h - 30), // bottom, in the second-to-last pixel row
        twipLine(w - 10, h, w - 10, 0), // right, in the last pixel column
    };
}

QList<QLine> hotListBorderLines(QSize clientPixels)
{
    const int w = PixelsToTwips(clientPixels.width());
    const int h = PixelsToTwips(clientPixels.height());
    return {
        twipLine(0, 5, w, 5),           // top, in the first pixel row
        twipLine(0, 0, 0, h),           // left edge
        twipLine(w, h - 20, 0, h - 20), // bottom
        twipLine(w - 10, h, w - 10, 0), // right
    };
}

void paintBorderLines(QPainter &painter, const QList<QLine> &lines)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(BorderColor, 0)); // cosmetic: one pixel at any scale
    for (const QLine &line : lines)
        painter.drawLine(line);
    painter.restore();
}

void setBorderlessStyle(QWidget *window)
{
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint);
}

bool dragWindow(QWidget *window)
{
    QWindow *handle = window ? window->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

void endProgramNow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(0);
}

QFont uiFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSizeF(pointSize);
    return font;
}

QCursor handCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/pictures/hand_cursor.png")), 5, 0);
}

TitleLink::TitleLink(int index, const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
    , m_index(index)
{
    setMouseTracking(true);
    setCursor(handCursor());
    setTextColor(TitleLinkNormal);
}

void TitleLink::setTextColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    // The label's own sheet outranks the skin's, so the skin cannot recolour it.
    setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(color.name()));
}

void TitleLink::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void TitleLink::mouseMoveEvent(QMouseEvent *event)
{
    emit hovered(m_index);
    event->accept();
}

void TitleLink::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    // The release may destroy this link's window; emit last.
    emit released(m_index);
}

void DragHandle::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit dragRequested();
}
