// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/command_steps.h"

#include "cli/cli_output.h"
#include "net/http_request.h"
#include "net/service_config.h"
#include "sound/sound_analysis.h"
#include "sound/sound_link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRegularExpression>

#include <optional>

namespace Cli {

int runCommandLoop(const std::function<void(const std::function<void(int)> &done)> &start)
{
    QEventLoop loop;
    std::optional<int> status;
    start([&](int s) {
        if (!status) {
            status = s;
            loop.quit();
        }
    });
    if (!status)
        loop.exec();
    return status.value_or(Failure);
}

int checkCommandAddress(const QString &command, const QStringList &arguments, const ServiceConfig &config)
{
    if (arguments.size() != 1) {
        printFailure(
            QCoreApplication::translate("Cli", "用法有误"),
            arguments.isEmpty()
                ? QCoreApplication::translate("Cli", "%1 需要一个音乐页面地址").arg(command)
                : QCoreApplication::translate("Cli", "%1 只接受一个地址；地址含空格时请加引号").arg(command));
        return UsageError;
    }
    if (checkSoundAddress(arguments.first(), config.webHost) != AddressCheck::Accepted) {
        printFailure(QCoreApplication::translate("Cli", "地址未被接受"),
                     addressRefusal(arguments.first(), config.webHost));
        return AddressRejected;
    }
    return Success;
}

QString addressRefusal(const QString &address, const QString &webHost)
{
    static const QRegularExpression bareId(QStringLiteral("^[0-9]+(-[A-Za-z0-9-]+)?$"));
    if (bareId.match(address).hasMatch())
        return QCoreApplication::translate("Cli",
                                           "只写示例编号（如 1001）时须加 --demo，否则请写音乐页面地址");
    // The window's own text, so both fronts say the same.
    return addressCheckMessage(checkSoundAddress(address, webHost));
}

void startCommandAnalysis(const QString &address, const ServiceConfig &config, const FetchOptions &options,
                          QObject *parent, std::function<void(int status, const SoundInfo &record)> then)
{
    auto *analysis = new SoundAnalysis(address, config.apiHost, options, parent);
    const QString url = soundInfoUrl(analysis->soundId(), config.apiHost);
    QObject::connect(analysis, &SoundAnalysis::finished, parent,
                     [url, then = std::move(then)](const AnalysisResult &result) {
                         if (result) {
                             then(Success, *result);
                             return;
                         }
                         switch (result.error().reason) {
                         case AnalysisStatus::Done: // not a failure
                         case AnalysisStatus::FetchFailed:
                         case AnalysisStatus::Abandoned:
                             printFailure(QCoreApplication::translate("Cli", "无法获取 %1").arg(url),
                                          analysisDetailText(result.error()));
                             then(FetchFailed, {});
                             return;
                         case AnalysisStatus::ExtractFailed:
                             printFailure(
                                 QCoreApplication::translate("Cli", "%1 的回答中没有音乐信息").arg(url),
                                 analysisDetailText(result.error()));
                             then(ExtractFailed, {});
                             return;
                         }
                     });
    analysis->start();
}

} // namespace Cli
