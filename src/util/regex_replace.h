// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Every match of pattern in subject replaced by replacement, matching
// case-insensitively. An invalid pattern leaves the subject unchanged.
QString regexReplace(const QString &subject, const QString &pattern, const QString &replacement);
