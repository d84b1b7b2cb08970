// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_entry.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

struct StateName
{
    DownloadState state;
    QStringView name;
};

constexpr std::array StateNames = {
    StateName{DownloadState::Queued, u"queued"}, StateName{DownloadState::Running, u"running"},
    StateName{DownloadState::Paused, u"paused"}, StateName{DownloadState::Done, u"done"},
    StateName{DownloadState::Failed, u"failed"}, StateName{DownloadState::Cancelled, u"cancelled"},
};

} // namespace

QString downloadStateName(DownloadState state)
{
    for (const StateName &s : StateNames) {
        if (s.state == state)
            return s.name.toString();
    }
    return {};
}

std::optional<DownloadState> downloadStateFromName(QStringView name)
{
    for (const StateName &s : StateNames) {
        if (s.name == name)
            return s.state;
    }
    return std::nullopt;
}

DownloadRequest downloadRequestOf(const DownloadEntry &entry)
{
    DownloadRequest request;
    request.fileUrl = entry.fileUrl;
    request.folder = entry.folder;
    request.fileName = entry.fileName;
    request.soundId = entry.soundId;
    request.tags = entry.tags;
    request.coverUrl = entry.coverUrl;
    return request;
}

QByteArray tagsText(const std::optional<SoundTags> &tags)
{
    if (!tags)
        return QByteArrayLiteral("null");
    // The cover is fetched again when the download runs: pictures do not
    // belong in every row of the history.
    const QJsonObject object{{QStringLiteral("title"), tags->title},
                             {QStringLiteral("artist"), tags->artist},
                             {QStringLiteral("comment"), tags->comment},
                             {QStringLiteral("date"), tags->date},
                             {QStringLiteral("pageAddress"), tags->pageAddress},
                             {QStringLiteral("id3Version"), tags->id3Version}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<SoundTags> tagsFromText(const QByteArray &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    SoundTags tags;
    tags.title = object.value(QStringLiteral("title")).toString();
    tags.artist = object.value(QStringLiteral("artist")).toString();
    tags.comment = object.value(QStringLiteral("comment")).toString();
    tags.date = object.value(QStringLiteral("date")).toString();
    tags.pageAddress = object.value(QStringLiteral("pageAddress")).toString();
    const int version = object.value(QStringLiteral("id3Version")).toInt(tags.id3Version);
    tags.id3Version = version == 3 ? 3 : 4;
    return tags;
}

QString entryTitle(const DownloadEntry &entry)
{
    if (!entry.name.isEmpty())
        return entry.name;
    return entry.pageAddress.isEmpty() ? entry.soundId : entry.pageAddress;
}

QString downloadStateText(DownloadState state)
{
    switch (state) {
    case DownloadState::Queued:
        return QCoreApplication::translate("DownloadState", "等待中");
    case DownloadState::Running:
        return QCoreApplication::translate("DownloadState", "下载中");
    case DownloadState::Paused:
        return QCoreApplication::translate("DownloadState", "已暂停");
    case DownloadState::Done:
        return QCoreApplication::translate("DownloadState", "已完成");
    case DownloadState::Failed:
        return QCoreApplication::translate("DownloadState", "失败");
    case DownloadState::Cancelled:
        return QCoreApplication::translate("DownloadState", "已取消");
    }
    return {};
}
