// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/window_chrome.h"

#include "shell/stored_picture.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include <functional>

namespace {

// Screen readers see the links and the clickable pictures as what they act
// like, with a press action, rather than as static text or a graphic.
class PressableAccessible final : public QAccessibleWidget
{
public:
    PressableAccessible(QWidget *widget, QAccessible::Role role, std::function<void()> press)
        : QAccessibleWidget(widget, role)
        , m_press(std::move(press))
    {}

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        // The glyph links ("_", "x") are named by their tooltips.
        if (t == QAccessible::Name && text.isEmpty()) {
            const auto *label = static_cast<const QLabel *>(widget());
            text = label->text().size() > 1 ? label->text() : label->toolTip();
        }
        return text;
    }
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            m_press();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    std::function<void()> m_press;
};

QAccessibleInterface *pressableFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TitleLink")) {
        auto *link = static_cast<TitleLink *>(object);
        return new PressableAccessible(link, QAccessible::Link, [link] { link->activate(); });
    }
    if (className == QLatin1String("ClickablePicture")) {
        auto *picture = static_cast<ClickablePicture *>(object);
        return new PressableAccessible(picture, QAccessible::Button, [picture] { picture->activate(); });
    }
    return nullptr;
}

void makeKeyboardReachable(QLabel *label)
{
    static const bool installed = [] {
        QAccessible::installFactory(pressableFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // Tab only: a click acts at once and should leave no focus mark behind.
    label->setFocusPolicy(Qt::TabFocus);
}

} // namespace

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

QFont captionGlyphFont(qreal pointSize)
{
    QFont font = uiFont(pointSize);
    font.setFamilies(QStringList{QStringLiteral("Consolas")} + font.families());
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
    makeKeyboardReachable(this);
}

void TitleLink::setTextColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    // The label's own sheet outranks the skin's, so the skin cannot recolour
    // it; only the focus mark, a background, is left to the skin.
    setStyleSheet(QStringLiteral("TitleLink { color: %1; } TitleLink:!focus { background: transparent; }")
                      .arg(color.name()));
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

void TitleLink::keyPressEvent(QKeyEvent *event)
{
    if (!isActivationKey(event)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    activate(); // may destroy this link's window
}

bool isActivationKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
}

void DragHandle::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit dragRequested();
}

ClickablePicture::ClickablePicture(QWidget *parent)
    : QLabel(parent)
{
    makeKeyboardReachable(this);
}

void ClickablePicture::keyPressEvent(QKeyEvent *event)
{
    if (!isActivationKey(event)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    activate();
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
