// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/info_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "sound/sound_info.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QRegularExpression>

namespace Cli {

namespace {

// The record's fields in the order the text form lists them; JSON keys use the same names.
QList<QPair<QString, QString>> recordFields(const SoundInfo &info)
{
    return {
        {QStringLiteral("soundId"), info.soundId},         {QStringLiteral("soundName"), info.soundName},
        {QStringLiteral("shortName"), info.shortName},     {QStringLiteral("singer"), info.singer},
        {QStringLiteral("shortSinger"), info.shortSinger}, {QStringLiteral("playCount"), info.playCount},
        {QStringLiteral("fanCount"), info.fanCount},       {QStringLiteral("shareCount"), info.shareCount},
        {QStringLiteral("createTime"), info.createTime},   {QStringLiteral("publishTime"), info.publishTime},
        {QStringLiteral("coverUrl"), info.coverUrl},       {QStringLiteral("fileUrl"), info.fileUrl},
        {QStringLiteral("infoText"), info.infoText},
    };
}

QJsonObject recordJson(const SoundInfo &info, JsonForm form)
{
    const QStringList counts = {QStringLiteral("playCount"), QStringLiteral("fanCount"),
                                QStringLiteral("shareCount"), QStringLiteral("createTime")};
    QJsonObject object;
    for (const auto &[key, value] : recordFields(info))
        object.insert(key, form == JsonForm::Numbers && counts.contains(key) ? jsonCount(value) : value);
    return object;
}

QString recordText(const SoundInfo &info)
{
    constexpr int Width = 13;
    QString out;
    for (const auto &[key, value] : recordFields(info)) {
        // Continuation lines line up under the first so multi-line texts stay readable.
        QStringList lines = value.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
        out += key.leftJustified(Width) + terminalSafe(lines.takeFirst()) + u'\n';
        for (const QString &line : lines)
            out += QString(Width, u' ') + terminalSafe(line) + u'\n';
    }
    return out;
}

} // namespace

int runInfoCommand(const ServiceConfig &config, const FetchOptions &options, JsonForm json,
                   const QStringList &arguments)
{
    if (const int status = checkCommandAddress(QStringLiteral("info"), arguments, config); status != Success)
        return status;
    QObject owner;
    return runCommandLoop([&](const std::function<void(int)> &done) {
        startCommandAnalysis(
            arguments.first(), config, options, &owner, [json, done](int status, const SoundInfo &info) {
                if (status == Success)
                    writeTo(stdout,
                            json != JsonForm::None
                                ? QString::fromUtf8(
                                      QJsonDocument(recordJson(info, json)).toJson(QJsonDocument::Indented))
                                : recordText(info));
                done(status);
            });
    });
}

} // namespace Cli
