// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/download_command.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "cli/hot_command.h"
#include "cli/progress_lines.h"
#include "sound/sound_link.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cstdio>
#include <optional>

namespace Cli {

QString progressLine(qint64 received, qint64 total, double bytesPerSecond, int barWidth, bool ended)
{
    QString line;
    if (total > 0) {
        const double share = std::clamp(double(received) / double(total), 0.0, 1.0);
        if (barWidth > 0) {
            const int filled = int(share * barWidth);
            line += u'[' + QString(filled, u'#') + QString(barWidth - filled, u'-') + QStringLiteral("] ");
        }
        line += QStringLiteral("%1%  %2 / %3")
                    .arg(int(share * 100), 3)
                    .arg(byteSizeText(double(received)), byteSizeText(double(total)));
    } else {
        line += byteSizeText(double(received));
    }
    line += QStringLiteral("  ") + speedText(bytesPerSecond, ended);
    if (const QString left = ended ? QString() : timeLeftText(received, total, bytesPerSecond);
        !left.isEmpty())
        line += QStringLiteral("  ") + QCoreApplication::translate("Cli", "剩余 %1").arg(left);
    return line;
}

namespace {

// Addresses from stdin, one a line; blank lines and surrounding spaces are
// not addresses.
QStringList stdinAddresses()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    QStringList addresses;
    for (const QByteArray &line : in.readAll().split('\n')) {
        const QString address = QString::fromUtf8(line).trimmed();
        if (!address.isEmpty())
            addresses.append(address);
    }
    return addresses;
}

// The hot list's sounds, scraped as `hot` does; nullopt after the reason
// went to stderr.
std::optional<QList<DownloadBatch::Item>> hotItems(const QString &webHost, const FetchOptions &options,
                                                   int *status)
{
    const CommandOutput hot = runHotCommand(webHost, options, JsonForm::Strings, {});
    if (hot.status != Success) {
        writeTo(stderr, hot.err);
        *status = hot.status;
        return std::nullopt;
    }
    QList<DownloadBatch::Item> items;
    for (const QJsonValue row : QJsonDocument::fromJson(hot.out).array())
        items.append({row[QLatin1String("link")].toString(), row[QLatin1String("name")].toString(), {}});
    return items;
}

} // namespace

int runDownloadCommand(const ServiceConfig &config, const FetchOptions &options, const QStringList &arguments,
                       const DownloadSettings &settings, const DownloadChoices &choices)
{
    if (arguments.isEmpty() && !choices.hot) {
        printFailure(
            QCoreApplication::translate("Cli", "用法有误"),
            QCoreApplication::translate("Cli", "%1 需要一个音乐页面地址").arg(QStringLiteral("download")));
        return UsageError;
    }
    QList<DownloadBatch::Item> items;
    if (choices.hot) {
        int status = Success;
        const std::optional<QList<DownloadBatch::Item>> hot = hotItems(config.webHost, options, &status);
        if (!hot)
            return status;
        items = *hot;
    }
    const auto given = [&](const QString &address) {
        items.append({choices.pageOf ? choices.pageOf(address) : address, {}, {}});
    };
    bool readStdin = false;
    for (const QString &argument : arguments) {
        if (argument != QLatin1String("-")) {
            given(argument);
        } else if (!readStdin) { // stdin gives its lines once
            readStdin = true;
            for (const QString &address : stdinAddresses())
                given(address);
        }
    }
    // The hot list repeats its last entry, and a list may name a sound twice:
    // each sound is downloaded once, and each refused address told once.
    QSet<QString> seenIds;
    QSet<QString> seenOthers;
    items.removeIf([&](const DownloadBatch::Item &item) {
        const QString id = soundIdFromAddress(item.address);
        const bool sound =
            !id.isEmpty() && checkSoundAddress(item.address, config.webHost) == AddressCheck::Accepted;
        QSet<QString> &seen = sound ? seenIds : seenOthers;
        const QString key = sound ? id : normalisedSoundAddress(item.address, config.webHost);
        if (seen.contains(key))
            return true;
        seen.insert(key);
        return false;
    });
    return runBatchDownload(config, options, settings, choices.batch, items);
}

} // namespace Cli
