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

QJsonObject recordJson(const SoundInfo &info)
{
    return QJsonObject{
        {QStringLiteral("soundId"), info.soundId},         {QStringLiteral("coverUrl"), info.coverUrl},
        {QStringLiteral("fileUrl"), info.fileUrl},         {QStringLiteral("soundName"), info.soundName},
        {QStringLiteral("singer"), info.singer},           {QStringLiteral("shortName"), info.shortName},
        {QStringLiteral("shortSinger"), info.shortSinger}, {QStringLiteral("playCount"), info.playCount},
        {QStringLiteral("fanCount"), info.fanCount},       {QStringLiteral("shareCount"), info.shareCount},
        {QStringLiteral("createTime"), info.createTime},   {QStringLiteral("publishTime"), info.publishTime},
        {QStringLiteral("infoText"), info.infoText},
    };
}

QString recordText(const SoundInfo &info)
{
    const QList<QPair<QString, QString>> rows = {
        {QStringLiteral("soundId"), info.soundId},         {QStringLiteral("soundName"), info.soundName},
        {QStringLiteral("shortName"), info.shortName},     {QStringLiteral("singer"), info.singer},
        {QStringLiteral("shortSinger"), info.shortSinger}, {QStringLiteral("playCount"), info.playCount},
        {QStringLiteral("fanCount"), info.fanCount},       {QStringLiteral("shareCount"), info.shareCount},
        {QStringLiteral("createTime"), info.createTime},   {QStringLiteral("publishTime"), info.publishTime},
        {QStringLiteral("coverUrl"), info.coverUrl},       {QStringLiteral("fileUrl"), info.fileUrl},
        {QStringLiteral("infoText"), info.infoText},
    };
    constexpr int Width = 13;
    QString out;
    for (const auto &[key, value] : rows) {
        // Continuation lines line up under the first so multi-line texts stay readable.
        QStringList lines = value.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
        out += key.leftJustified(Width) + lines.takeFirst() + u'\n';
        for (const QString &line : lines)
            out += QString(Width, u' ') + line + u'\n';
    }
    return out;
}

} // namespace

int runInfoCommand(const ServiceConfig &config, const FetchOptions &options, bool json,
                   const QStringList &arguments)
{
    if (const int status = checkCommandAddress(QStringLiteral("info"), arguments, config); status != Success)
        return status;
    QObject owner;
    return runCommandLoop([&](const std::function<void(int)> &done) {
        startCommandAnalysis(
            arguments.first(), config, options, &owner, [json, done](int status, const SoundInfo &info) {
                if (status == Success)
                    writeTo(stdout, json
                                        ? QString::fromUtf8(
                                              QJsonDocument(recordJson(info)).toJson(QJsonDocument::Indented))
                                        : recordText(info));
                done(status);
            });
    });
}

} // namespace Cli
