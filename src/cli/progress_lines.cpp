// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/progress_lines.h"

#include "cli/cli_output.h"
#include "cli/download_command.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace Cli {

QString speedText(double bytesPerSecond, bool ended)
{
    const QString speed = byteSizeText(bytesPerSecond) + QStringLiteral("/s");
    return ended ? QCoreApplication::translate("Cli", "平均 %1").arg(speed) : speed;
}

QString timeLeftText(qint64 received, qint64 total, double bytesPerSecond)
{
    if (total <= 0 || received >= total || !(bytesPerSecond >= 1))
        return {};
    const double seconds = std::ceil(double(total - received) / bytesPerSecond);
    if (seconds >= 100 * 3600)
        return {}; // no one waits for that
    const qint64 s = qint64(seconds);
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg(s / 60 % 60, s >= 3600 ? 2 : 1, 10, QChar(u'0'))
                                          .arg(s % 60, 2, 10, QChar(u'0'));
    return s >= 3600 ? QStringLiteral("%1:").arg(s / 3600) + minutesAndSeconds : minutesAndSeconds;
}

ProgressLines::ProgressLines()
    : m_terminal(::isatty(STDERR_FILENO) == 1)
{}

void ProgressLines::draw(const QString &line, bool now)
{
    if (isQuiet() || (!now && m_lastDraw.isValid() && m_lastDraw.elapsed() < 100))
        return;
    m_lastDraw.start();
    writeTo(stderr, u'\r' + line + QStringLiteral("\x1b[K"));
    m_drawn = true;
}

void ProgressLines::tenth(qint64 received, qint64 total, double speed, bool ended)
{
    const int tenth = total > 0 ? int(received * 10 / total) : int(received / (64 * 1024 * 1024));
    if (isQuiet() || tenth == m_lastTenth)
        return;
    m_lastTenth = tenth;
    writeTo(stderr, progressLine(received, total, speed, 0, ended) + u'\n');
}

void ProgressLines::wipe()
{
    if (m_drawn)
        writeTo(stderr, QStringLiteral("\r\x1b[K"));
    m_drawn = false;
}

void ProgressLines::keep()
{
    if (m_drawn)
        writeTo(stderr, QStringLiteral("\n"));
    m_drawn = false;
}

} // namespace Cli
