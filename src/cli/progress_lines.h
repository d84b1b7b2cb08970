// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QString>

namespace Cli {

// "2.0 MiB/s" while downloading; once ended, the average over the whole
// download (the latest speed would be nought by then).
QString speedText(double bytesPerSecond, bool ended);

// Time left to fetch the rest at this speed, "0:42" or "1:02:03"; empty
// when it cannot be told.
QString timeLeftText(qint64 received, qint64 total, double bytesPerSecond);

// Progress on stderr, nothing under --quiet. On a terminal one line is
// redrawn in place and wiped before anything else is written; elsewhere a
// lone download writes a plain line at every tenth of the way and several
// write nothing per chunk, so logs stay short.
class ProgressLines
{
public:
    ProgressLines();

    bool isTerminal() const { return m_terminal; }

    // Redraws the line, at most ten times a second unless now.
    void draw(const QString &line, bool now = false);
    // A line at each tenth of received / total (or each 64 MiB when the total is unknown).
    void tenth(qint64 received, qint64 total, double speed, bool ended = false);
    void wipe();
    // Ends the drawn line so that it stays above what follows.
    void keep();

private:
    const bool m_terminal;
    QElapsedTimer m_lastDraw;
    bool m_drawn = false;
    int m_lastTenth = 0;
};

} // namespace Cli
