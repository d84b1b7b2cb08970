// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/hot_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"

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

} // namespace

QString hotTableText(const QList<HotEntry> &rows)
{
    const QStringList headers = {QStringLiteral("ID"),   QStringLiteral("音乐名称"), QStringLiteral("频道"),
                                 QStringLiteral("分享"), QStringLiteral("喜欢"),     QStringLiteral("评论"),
                                 QStringLiteral("链接")};
    QList<QStringList> lines = {headers};
    for (const HotEntry &row : rows) {
        QStringList line;
        for (int c = 0; c < HotEntry::FieldCount; ++c)
            line.append(oneLine(row.field(c)));
        lines.append(line);
    }
    QList<int> widths(HotEntry::FieldCount, 0);
    for (const QStringList &line : lines) {
        for (int c = 0; c < HotEntry::FieldCount; ++c)
            widths[c] = std::max(widths[c], displayWidth(line.at(c)));
    }
    QString out;
    for (const QStringList &line : lines) {
        QString text;
        for (int c = 0; c < HotEntry::FieldCount; ++c) {
            text += line.at(c);
            if (c + 1 < HotEntry::FieldCount)
                text += QString(widths[c] - displayWidth(line.at(c)) + 2, u' ');
        }
        out += text + u'\n';
    }
    return out;
}

QByteArray hotJson(const QList<HotEntry> &rows, JsonForm form)
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
        out += '}';
    }
    out += rows.isEmpty() ? "]\n" : "\n]\n";
    return out;
}

CommandOutput runHotCommand(const QString &webHost, const FetchOptions &options, JsonForm json,
                            const QStringList &arguments)
{
    CommandOutput output;
    if (!arguments.isEmpty()) {
        output.status = UsageError;
        output.err = failureLine(QCoreApplication::translate("Cli", "用法有误"),
                                 QCoreApplication::translate("Cli", "hot 不接受参数"));
        return output;
    }
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
        output.out = json != JsonForm::None ? hotJson(*refresh, json) : hotTableText(*refresh).toUtf8();
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

} // namespace Cli
