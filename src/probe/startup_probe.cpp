// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "probe/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

long long monotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

long long residentKibibytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    // /proc files claim to be empty, so read to the end rather than test atEnd().
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

class FirstPaintWatch final : public QObject
{
public:
    FirstPaintWatch(int idleMilliseconds, QObject *window)
        : QObject(window)
        , m_idleMilliseconds(idleMilliseconds)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so the stamp follows the whole frame and its flush,
            // not just the window's own part of it.
            QMetaObject::invokeMethod(this, &FirstPaintWatch::painted, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void painted()
    {
        std::fprintf(stderr, "vexa-bench first-paint-ns=%lld\n", monotonicNanoseconds());
        QTimer::singleShot(m_idleMilliseconds, this, [] {
            std::fprintf(stderr, "vexa-bench idle-rss-kib=%lld\n", residentKibibytes());
            std::fflush(stderr);
            QCoreApplication::exit(0);
        });
    }

    int m_idleMilliseconds = 0;
};

} // namespace

bool exitAfterFirstPaintIfAsked(QObject *window)
{
    bool ok = false;
    const int idle = qEnvironmentVariableIntValue("VEXA_EXIT_AFTER_FIRST_PAINT", &ok);
    if (!ok || idle < 0 || !window)
        return false;
    new FirstPaintWatch(idle, window);
    return true;
}
