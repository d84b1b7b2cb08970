// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QObject;

// The start-up benchmark's hook. With VEXA_EXIT_AFTER_FIRST_PAINT=MS in the
// environment it watches window for its first paint, then stays idle for MS
// milliseconds and ends the application, writing to stderr
//   vexa-bench first-paint-ns=N  (CLOCK_MONOTONIC once the first frame is done)
//   vexa-bench idle-rss-kib=N    (the resident set after the idle time)
// Without the variable it does nothing and returns false.
bool exitAfterFirstPaintIfAsked(QObject *window);
