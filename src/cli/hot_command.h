#pragma once

#include "hotlist/hot_scrape.h"
#include "services/http_text_fetch.h"

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

// `hot [--json]`: one refresh of the hot list in this process, then its
// fifteen rows. The refresh always gives rows, so the status is 0 even when
// the fetch failed; that is told in err.
CommandOutput RunHotCommand(const QString &webHost, const FetchOptions &options, bool json,
                            const QStringList &arguments);

// Columns lined up for a terminal (wide characters count twice); line
// breaks and tabs inside a value are shown as spaces.
QString HotTableText(const QList<HotEntry> &rows);
// An array of objects with the keys number, name, channel, shareCount,
// likeCount, commentCount and link, in that order; values exactly as cut.
QByteArray HotJson(const QList<HotEntry> &rows);

} // namespace Cli
