// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// "V" + major + "." + minor + "." + revision, e.g. "V1.0.0". Display only.
QString versionText();

// Formatting kept apart so it can be checked for any numbers.
QString versionText(int major, int minor, int revision);
