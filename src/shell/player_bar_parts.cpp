// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/player_bar_parts.h"
#include "shell/player_bar.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>

// Drawn here rather than taken from the icon theme: on X11 the theme lookup
// was the costliest single step of building the window (about 5 ms), and the
// strip now looks the same on every desktop.
QPixmap glyphPixmap(Glyph glyph, const QColor &colour)
{
    // In the screen's own pixels, so high-DPI screens get sharp edges.
    const qreal ratio = std::max(1.0, qApp->devicePixelRatio());
    QPixmap pixmap(qCeil(32 * ratio), qCeil(32 * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    switch (glyph) {
    case Glyph::Play:
        painter.drawPolygon(QPolygonF({{9, 5}, {27, 16}, {9, 27}}));
        break;
    case Glyph::Pause:
        painter.drawRect(QRectF(8, 6, 6, 20));
        painter.drawRect(QRectF(18, 6, 6, 20));
        break;
    // A bar and a triangle: media symbol characters are in few fonts.
    case Glyph::Previous:
        painter.drawRect(QRectF(7, 7, 4, 18));
        painter.drawPolygon(QPolygonF({{25, 7}, {12, 16}, {25, 25}}));
        break;
    case Glyph::Next:
        painter.drawRect(QRectF(21, 7, 4, 18));
        painter.drawPolygon(QPolygonF({{7, 7}, {20, 16}, {7, 25}}));
        break;
    case Glyph::Volume: {
        painter.drawPolygon(QPolygonF({{3, 12}, {9, 12}, {17, 5}, {17, 27}, {9, 20}, {3, 20}}));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(12, 10, 10, 12), -50 * 16, 100 * 16);
        painter.drawArc(QRectF(12, 5, 17, 22), -50 * 16, 100 * 16);
        break;
    }
    }
    return pixmap;
}

int JumpToClickStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                                QStyleHintReturn *returnData) const
{
    if (hint == SH_Slider_AbsoluteSetButtons)
        return Qt::LeftButton;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QString playerTimeText(qint64 milliseconds)
{
    const qint64 seconds = std::max<qint64>(0, milliseconds) / 1000;
    const QLatin1Char zero('0');
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, zero)
            .arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, zero);
}
