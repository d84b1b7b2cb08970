// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/cli_output.h"
#include "library/hot_chart.h"
#include "net/http_request.h"
#include "sound/hot_list_scraper.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class DownloadHistory;

namespace Cli {

struct CommandOutput
{
    int status = 0;
    QByteArray out; // for stdout, UTF-8
    QString err;    // lines for stderr, each ending in a line break
};

// `hot [--json | --json-strings]`: one refresh of the hot list in this process, then its
// fifteen rows with how each moved since the refresh recorded before in
// history, where this one is then recorded (none: no moves). When the home
// page did not arrive (status 3) or holds no entry (status 4) nothing goes
// to out or the history, and err says why.
CommandOutput runHotCommand(const QString &webHost, const FetchOptions &options, JsonForm json,
                            const QStringList &arguments, DownloadHistory *history = nullptr);
// `hot --history [--json]`: the recorded refreshes, newest first.
CommandOutput runHotHistoryCommand(const DownloadHistory &history, bool json, const QStringList &arguments);

// Columns lined up for a terminal (wide characters count twice); line
// breaks and tabs inside a value are shown as spaces. The moves, one a row,
// go in a narrow column after the number.
QString hotTableText(const QList<HotEntry> &rows, const QList<HotMove> &moves = {});
// An array of objects with the keys number, name, channel, shareCount,
// likeCount, commentCount and link, in that order; values exactly as cut,
// but the counts as numbers (jsonCount()) unless form is Strings. The
// Numbers form adds previousRank: the rank in the refresh before, or null.
QByteArray hotJson(const QList<HotEntry> &rows, JsonForm form, const QList<HotMove> &moves = {});

// A block per refresh: its time, then a line per rank.
QString hotHistoryText(const QList<HotChartRefresh> &refreshes);
// An array of {"time", "entries": [{"rank", "id", "name", "singer"}]}, times in ISO 8601 (UTC).
QByteArray hotHistoryJson(const QList<HotChartRefresh> &refreshes);

} // namespace Cli
