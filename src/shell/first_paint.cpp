// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

const QEvent::Type FramePainted = QEvent::Type(QEvent::registerEventType());

class FirstPaintWait final : public QObject
{
public:
    FirstPaintWait(QWidget *window, std::function<void()> then, std::chrono::milliseconds cap)
        : QObject(window)
        , m_then(std::move(then))
    {
        window->installEventFilter(this);
        QTimer::singleShot(cap, this, &FirstPaintWait::run);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Low priority: whatever the frame itself queued runs first.
            QCoreApplication::postEvent(this, new QEvent(FramePainted), Qt::LowEventPriority);
        }
        return false;
    }

    bool event(QEvent *event) override
    {
        if (event->type() != FramePainted)
            return QObject::event(event);
        run();
        return true;
    }

private:
    void run()
    {
        if (!m_then)
            return; // ran already
        parent()->removeEventFilter(this);
        std::exchange(m_then, {})();
        deleteLater();
    }

    std::function<void()> m_then;
};

} // namespace

void afterFirstPaint(QWidget *window, std::function<void()> then, std::chrono::milliseconds cap)
{
    new FirstPaintWait(window, std::move(then), cap);
}
