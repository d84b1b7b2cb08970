// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Whether an address taken from the service's answers may be fetched: an
// absolute http or https address with a host. Anything else (file:, data:,
// a bare path) is treated as no address at all, so an answer can never make
// the program read, play or copy a local file.
bool isWebAddress(const QString &address);
