// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// "512.0 MiB", "3.2 KiB", "17 B": binary units, one decimal above bytes.
QString byteSizeText(double bytes);
