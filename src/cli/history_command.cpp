// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/history_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "cli/download_command.h"
#include "library/download_history.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

namespace Cli {

namespace {

QString sizeText(const DownloadEntry &entry)
{
    if (entry.state == DownloadState::Done && entry.size >= 0)
        return byteSizeText(double(entry.size));
    if (entry.bytesDone == 0 && entry.size < 0)
        return QStringLiteral("-");
    QString text = byteSizeText(double(entry.bytesDone));
    if (entry.size > 0)
        text += QStringLiteral(" / ") + byteSizeText(double(entry.size));
    return text;
}

// The latest of the entry's times, in local time.
QString timeText(const DownloadEntry &entry)
{
    const QDateTime time = entry.ended.isValid()     ? entry.ended
                           : entry.started.isValid() ? entry.started
                                                     : entry.created;
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
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

QByteArray jsonValue(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2); // without the brackets
}

QJsonValue jsonTime(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue();
}

} // namespace

QString historyTableText(const QList<DownloadEntry> &entries)
{
    QList<QStringList> lines = {
        {QCoreApplication::translate("Cli", "状态"), QCoreApplication::translate("Cli", "大小"),
         QCoreApplication::translate("Cli", "名称"), QCoreApplication::translate("Cli", "歌手"),
         QCoreApplication::translate("Cli", "文件或原因"), QCoreApplication::translate("Cli", "时间")}};
    for (const DownloadEntry &entry : entries) {
        const QString where = entry.state == DownloadState::Done ? QDir::toNativeSeparators(entry.savedPath)
                              : !entry.error.isEmpty()           ? entry.error
                                                                 : QDir::toNativeSeparators(entry.partPath);
        lines.append({downloadStateText(entry.state), sizeText(entry), oneLine(entryTitle(entry)),
                      oneLine(entry.singer), oneLine(where), timeText(entry)});
    }
    const qsizetype columns = lines.first().size();
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
        out += text.trimmed() + u'\n';
    }
    return out;
}

QByteArray historyJson(const QList<DownloadEntry> &entries)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const DownloadEntry &e = entries.at(i);
        const std::pair<const char *, QJsonValue> fields[] = {
            {"id", e.id},
            {"soundId", e.soundId},
            {"pageAddress", e.pageAddress},
            {"name", e.name},
            {"singer", e.singer},
            {"fileUrl", e.fileUrl},
            {"folder", e.folder},
            {"fileName", e.fileName},
            {"savedPath", e.savedPath},
            {"partPath", e.partPath},
            {"size", e.size},
            {"bytesDone", e.bytesDone},
            {"state", downloadStateName(e.state)},
            {"error", e.error},
            {"created", jsonTime(e.created)},
            {"started", jsonTime(e.started)},
            {"ended", jsonTime(e.ended)},
        };
        out += i == 0 ? "\n  {" : ",\n  {";
        bool first = true;
        for (const auto &[key, value] : fields) {
            out += (first ? "\"" : ", \"") + QByteArray(key) + "\": " + jsonValue(value);
            first = false;
        }
        out += '}';
    }
    out += entries.isEmpty() ? "]\n" : "\n]\n";
    return out;
}

int runHistoryCommand(bool json, const QStringList &arguments)
{
    if (!arguments.isEmpty()) {
        printFailure(QCoreApplication::translate("Cli", "用法有误"),
                     QCoreApplication::translate("Cli", "history 不接受参数"));
        return UsageError;
    }
    // Listing needs no writing: a read-only or newer file is still listed.
    const DownloadHistory history({}, DownloadHistory::Use::Read);
    if (!history.problem().isEmpty())
        printProblem(history.problem());
    // Only a file that is there and could not be read at all fails.
    if (!history.isPersistent() && !history.problem().isEmpty())
        return Failure;
    const QList<DownloadEntry> entries = history.page(0, history.count());
    const QByteArray out = json ? historyJson(entries) : historyTableText(entries).toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return Success;
}

} // namespace Cli
