// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/hot_list_scraper.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QString>

// The saved home pages under tests/data/hot_pages and the rows they should
// give. Expected links are written for this web host.
inline const QString HotPagesHost = QStringLiteral("www.vexa.example");

inline QByteArray hotTestPage(const QString &name)
{
    QFile file(QStringLiteral(VEXA_TEST_DATA_DIR "/hot_pages/") + name + QStringLiteral(".html"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test page %s", qPrintable(name));
    return file.readAll();
}

// A JSON array of fifteen arrays of seven texts in column order; links
// moved to webHost.
inline QList<HotEntry> hotExpectedRows(const QString &name, const QString &webHost = HotPagesHost)
{
    QFile file(QStringLiteral(VEXA_TEST_DATA_DIR "/hot_pages/") + name + QStringLiteral(".expected.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing expected rows %s", qPrintable(name));
    const QString savedPrefix = QStringLiteral("http://") + HotPagesHost;
    QList<HotEntry> entries;
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &row : rows) {
        const QJsonArray f = row.toArray();
        HotEntry entry{f[0].toString(), f[1].toString(), f[2].toString(), f[3].toString(),
                       f[4].toString(), f[5].toString(), f[6].toString()};
        if (entry.link.startsWith(savedPrefix))
            entry.link = QStringLiteral("http://") + webHost + entry.link.mid(savedPrefix.size());
        entries.append(entry);
    }
    return entries;
}

// The rows a fresh scraper gets from page; none when it holds no entry.
inline QList<HotEntry> hotRowsOf(const QByteArray &page, const QString &webHost)
{
    HotListScraper scraper(webHost);
    return scraper.scrape(QString::fromUtf8(page)).value_or(QList<HotEntry>());
}
