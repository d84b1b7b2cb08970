// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/hot_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "library/download_history.h"
#include "sound/sound_link.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

namespace Cli {

namespace {

const char *const JsonKeys[HotEntry::FieldCount] = {"number",    "name",         "channel", "shareCount",
                                                    "likeCount", "commentCount", "link"};

QByteArray jsonValue(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2); // without the brackets
}

// A cell of the table: one line, with nothing a terminal would act on.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    return terminalSafe(text);
}

// Lines of cells, each column as wide as its widest cell; the last one is not padded.
QString alignedColumns(const QList<QStringList> &lines)
{
    const qsizetype columns = lines.value(0).size();
    QList<int> widths(columns, 0);
    for (const QStringList &line : lines) {
        for (qsizetype c = 0; c < columns; ++c)
            widths[c] = std::max(widths[c], displayWidth(line.at(c)));
    }
    QString out;
    for (const QStringList &line : lines) {
        QString text;
        for (qsizetype c = 0; c < columns; ++c) {
            text += line.at(c);
            if (c + 1 < columns)
                text += QString(widths[c] - displayWidth(line.at(c)) + 2, u' ');
        }
        out += text + u'\n';
    }
    return out;
}

// As printProblem() writes it.
QString problemLine(const QString &text)
{
    return QStringLiteral("vexa-helper: ") + terminalSafe(text, LineBreaks::Kept) + u'\n';
}

QString timeText(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

HotChartRefresh chartRefreshOf(const QList<HotEntry> &rows)
{
    HotChartRefresh refresh{QDateTime::currentDateTimeUtc(), {}};
    for (const HotEntry &e : rows)
        refresh.entries.append({soundIdFromAddress(e.link), e.name, e.channel});
    return refresh;
}

} // namespace

QString hotTableText(const QList<HotEntry> &rows, const QList<HotMove> &moves)
{
    QList<QStringList> lines = {{QStringLiteral("ID"), QString(), QStringLiteral("音乐名称"),
                                 QStringLiteral("频道"), QStringLiteral("分享"), QStringLiteral("喜欢"),
                                 QStringLiteral("评论"), QStringLiteral("链接")}};
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QStringList line;
        for (int c = 0; c < HotEntry::FieldCount; ++c)
            line.append(oneLine(rows.at(i).field(c)));
        line.insert(1, hotMoveText(moves.value(i)));
        lines.append(line);
    }
    return alignedColumns(lines);
}

QString hotHistoryText(const QList<HotChartRefresh> &refreshes)
{
    QString out;
    for (const HotChartRefresh &refresh : refreshes) {
        if (!out.isEmpty())
            out += u'\n';
        out += timeText(refresh.time) + u'\n';
        QList<QStringList> lines;
        for (qsizetype i = 0; i < refresh.entries.size(); ++i) {
            const HotChartEntry &e = refresh.entries.at(i);
            lines.append(
                {QStringLiteral("  %1").arg(i + 1), oneLine(e.id), oneLine(e.name), oneLine(e.singer)});
        }
        out += alignedColumns(lines);
    }
    return out;
}

QByteArray hotHistoryJson(const QList<HotChartRefresh> &refreshes)
{
    QByteArray out = "[";
    for (qsizetype r = 0; r < refreshes.size(); ++r) {
        const HotChartRefresh &refresh = refreshes.at(r);
        out += r == 0 ? "\n  {\"time\": " : ",\n  {\"time\": ";
        out += jsonValue(refresh.time.toUTC().toString(Qt::ISODateWithMs)) + ", \"entries\": [";
        for (qsizetype i = 0; i < refresh.entries.size(); ++i) {
            const HotChartEntry &e = refresh.entries.at(i);
            out += i == 0 ? "\n    " : ",\n    ";
            out += "{\"rank\": " + QByteArray::number(i + 1) + ", \"id\": " + jsonValue(e.id) +
                   ", \"name\": " + jsonValue(e.name) + ", \"singer\": " + jsonValue(e.singer) + '}';
        }
        out += refresh.entries.isEmpty() ? "]}" : "\n  ]}";
    }
    out += refreshes.isEmpty() ? "]\n" : "\n]\n";
    return out;
}

QByteArray hotJson(const QList<HotEntry> &rows, JsonForm form, const QList<HotMove> &moves)
{
    const auto isCount = [](int column) { return column >= 3 && column <= 5; }; // share, like, comment
    QByteArray out = "[";
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += i == 0 ? "\n  {" : ",\n  {";
        for (int c = 0; c < HotEntry::FieldCount; ++c) {
            if (c > 0)
                out += ", ";
            const QString text = rows.at(i).field(c);
            out += '"' + QByteArray(JsonKeys[c]) + "\": " +
                   jsonValue(form != JsonForm::Strings && isCount(c) ? jsonCount(text) : QJsonValue(text));
        }
        // The strings form stays the shape older scripts read.
        if (form != JsonForm::Strings) {
            const std::optional<int> previous = moves.value(i).previousRank;
            out += ", \"previousRank\": " + jsonValue(previous ? QJsonValue(*previous) : QJsonValue());
        }
        out += '}';
    }
    out += rows.isEmpty() ? "]\n" : "\n]\n";
    return out;
}

namespace {

CommandOutput takesNoArguments()
{
    CommandOutput output;
    output.status = UsageError;
    output.err = failureLine(QCoreApplication::translate("Cli", "用法有误"),
                             QCoreApplication::translate("Cli", "hot 不接受参数"));
    return output;
}

} // namespace

CommandOutput runHotCommand(const QString &webHost, const FetchOptions &options, JsonForm json,
                            const QStringList &arguments, DownloadHistory *history)
{
    CommandOutput output;
    if (!arguments.isEmpty())
        return takesNoArguments();
    HotListScraper scraper(webHost);
    HotListRefresh request(scraper, options);
    HotRefresh refresh;
    runCommandLoop([&](const std::function<void(int)> &done) {
        QObject::connect(&request, &HotListRefresh::finished, &request, [&, done](const HotRefresh &result) {
            refresh = result;
            done(Success);
        });
        request.start();
    });
    if (refresh) {
        QList<HotMove> moves;
        if (history) {
            const HotChartRefresh chart = chartRefreshOf(*refresh);
            moves = hotMoves(chart.entries, history->recordHotRefresh(chart));
            if (!history->problem().isEmpty())
                output.err = problemLine(history->problem());
        }
        output.out =
            json != JsonForm::None ? hotJson(*refresh, json, moves) : hotTableText(*refresh, moves).toUtf8();
        return output;
    }
    switch (refresh.error().reason) {
    case HotListProblem::FetchFailed:
        output.status = FetchFailed;
        output.err = failureLine(QCoreApplication::translate("Cli", "无法获取 %1").arg(scraper.pageUrl()),
                                 fetchFailureText(refresh.error().detail));
        break;
    case HotListProblem::NoEntries:
        output.status = ExtractFailed;
        output.err =
            failureLine(QCoreApplication::translate("Cli", "无法读取热门列表"),
                        QCoreApplication::translate("Cli", "%1 的页面中没有热门条目").arg(scraper.pageUrl()));
        break;
    }
    return output;
}

CommandOutput runHotHistoryCommand(const DownloadHistory &history, bool json, const QStringList &arguments)
{
    CommandOutput output;
    if (!arguments.isEmpty())
        return takesNoArguments();
    if (!history.problem().isEmpty())
        output.err = problemLine(history.problem());
    // Only a file that is there and could not be read at all fails.
    if (!history.isPersistent() && !history.problem().isEmpty()) {
        output.status = Failure;
        return output;
    }
    const QList<HotChartRefresh> refreshes = history.hotRefreshes();
    output.out = json ? hotHistoryJson(refreshes) : hotHistoryText(refreshes).toUtf8();
    return output;
}

} // namespace Cli
