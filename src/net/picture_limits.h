// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// Limits that keep a hostile or broken cover from freezing the program or
// exhausting its memory.
constexpr qint64 MaxPictureBytes = 20 * 1024 * 1024;
constexpr qint64 MaxPicturePixels = 64 * 1024 * 1024;
