// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_entry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Cli {

// `history [--json]`: the download history the window and the command line
// share, newest first. Returns the exit code.
int runHistoryCommand(bool json, const QStringList &arguments);

// Columns lined up for a terminal: state, size (or bytes so far), name,
// singer, the saved path (or the error), time.
QString historyTableText(const QList<DownloadEntry> &entries);
// An array of objects with every field of an entry but its tags, in the
// entry's order; times in ISO 8601 (UTC), null when not yet.
QByteArray historyJson(const QList<DownloadEntry> &entries);

} // namespace Cli
