#pragma once

#include "hotlist/hot_scrape.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QString>

// The saved home pages under tests/data/hot_pages and the rows they should
// give. Expected links are written for this web host.
inline const QString HotPagesHost = QStringLiteral("www.vexa.example");

inline QByteArray HotTestPage(const QString &name)
{
    QFile file(QStringLiteral(VEXA_TEST_DATA_DIR "/hot_pages/") + name + QStringLiteral(".html"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test page %s", qPrintable(name));
    return file.readAll();
}

// A JSON array of fifteen arrays of seven texts; links moved to webHost.
inline QList<HotEntry> HotExpectedRows(const QString &name, const QString &webHost = HotPagesHost)
{
    QFile file(QStringLiteral(VEXA_TEST_DATA_DIR "/hot_pages/") + name + QStringLiteral(".expected.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing expected rows %s", qPrintable(name));
    const QString savedPrefix = QStringLiteral("http://") + HotPagesHost;
    QList<HotEntry> entries;
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &row : rows) {
        HotEntry entry;
        const QJsonArray fields = row.toArray();
        for (int i = 0; i < HotEntry::FieldCount; ++i)
            entry.setField(i, fields.at(i).toString());
        if (entry.link.startsWith(savedPrefix))
            entry.link = QStringLiteral("http://") + webHost + entry.link.mid(savedPrefix.size());
        entries.append(entry);
    }
    return entries;
}

// The rows a fresh slot table gets from page.
inline QList<HotEntry> HotRowsOf(const QByteArray &page, const QString &webHost)
{
    HotScrapeSlots scrape;
    HotRowTable table;
    ApplyHotPage(scrape, table, QString::fromUtf8(page), webHost);
    return table.entries();
}
