// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <functional>

class QWidget;

// Runs then once window has painted its first frame and what that frame
// queued has run, so that work the frame does not show stays off its path.
// A window that is never exposed (minimised, on no screen) never paints:
// then runs after cap all the same. Nothing runs when the window goes first.
void afterFirstPaint(QWidget *window, std::function<void()> then,
                     std::chrono::milliseconds cap = std::chrono::milliseconds(500));
