// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/hot_command.h"

#include "cli/command_steps.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace Cli {

namespace {

const char *const JsonKeys[HotEntry::FieldCount] = {"number",    "name",         "channel", "shareCount",
                                                    "likeCount", "commentCount", "link"};

QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2); // without the brackets
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    return text;
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

QByteArray hotJson(const QList<HotEntry> &rows)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += i == 0 ? "\n  {" : ",\n  {";
        for (int c = 0; c < HotEntry::FieldCount; ++c) {
            if (c > 0)
                out += ", ";
            out += '"' + QByteArray(JsonKeys[c]) + "\": " + jsonString(rows.at(i).field(c));
        }
        out += '}';
    }
    out += rows.isEmpty() ? "]\n" : "\n]\n";
    return out;
}

CommandOutput runHotCommand(const QString &webHost, const FetchOptions &options, bool json,
                            const QStringList &arguments)
{
    CommandOutput output;
    if (!arguments.isEmpty()) {
        output.status = UsageError;
        output.err = QStringLiteral("vexa-helper: hot takes no arguments\n");
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
    switch (refresh.outcome) {
    case HotRefresh::Outcome::Listed:
        output.out = json ? hotJson(refresh.entries) : hotTableText(refresh.entries).toUtf8();
        break;
    case HotRefresh::Outcome::FetchFailed:
        output.status = FetchFailed;
        output.err =
            QStringLiteral("vexa-helper: could not fetch %1: %2\n").arg(scraper.pageUrl(), refresh.reason);
        break;
    case HotRefresh::Outcome::NoEntries:
        output.status = ExtractFailed;
        output.err =
            QStringLiteral("vexa-helper: no hot-list entry in the page from %1\n").arg(scraper.pageUrl());
        break;
    }
    return output;
}

} // namespace Cli
