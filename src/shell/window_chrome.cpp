// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/window_chrome.h"

#include "shell/stored_picture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>

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

QFont monospaceFont(qreal pointSize)
{
    QFont font(QStringLiteral("Consolas"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(pointSize);
    return font;
}

QCursor handCursor()
{
    return QCursor(storedPicture(QStringLiteral("hand_cursor")), 5, 0);
}

TitleLink::TitleLink(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
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
    emit hovered();
    event->accept();
}

void TitleLink::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    // The release may destroy this link's window; emit last.
    emit released();
}

void DragHandle::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit dragRequested();
}

void ClickablePicture::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    event->accept();
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}
