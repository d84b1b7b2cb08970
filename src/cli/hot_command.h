// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/cli_output.h"
#include "net/http_request.h"
#include "sound/hot_list_scraper.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Cli {

struct CommandOutput
{
    int status = 0;
    QByteArray out; // for stdout, UTF-8
    QString err;    // lines for stderr, each ending in a line break
};

// `hot [--json | --json-strings]`: one refresh of the hot list in this process, then its
// fifteen rows. When the home page did not arrive (status 3) or holds no
// entry (status 4) nothing goes to out, and err says why.
CommandOutput runHotCommand(const QString &webHost, const FetchOptions &options, JsonForm json,
                            const QStringList &arguments);

// Columns lined up for a terminal (wide characters count twice); line
// breaks and tabs inside a value are shown as spaces.
QString hotTableText(const QList<HotEntry> &rows);
// An array of objects with the keys number, name, channel, shareCount,
// likeCount, commentCount and link, in that order; values exactly as cut,
// but the counts as numbers (jsonCount()) unless form is Strings.
QByteArray hotJson(const QList<HotEntry> &rows, JsonForm form);

} // namespace Cli
