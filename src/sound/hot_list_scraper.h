// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>

#include <optional>

// One row of the hot list, every field as text.
struct HotEntry
{
    QString number;
    QString name;
    QString channel;
    QString shareCount;
    QString likeCount;
    QString commentCount;
    QString link;

    static constexpr int FieldCount = 7;
    // The field shown in list column `column`: number first, link last.
    QString field(int column) const;

    bool operator==(const HotEntry &other) const = default;
};

inline constexpr int HotEntryCount = 15;

// What one refresh of the hot list came to.
enum class HotListProblem {
    FetchFailed, // the home page did not arrive: why is the detail
    NoEntries,   // it arrived without a single entry marker
};
using HotListError = Failure<HotListProblem, FetchError>;
// Fifteen entries, or why none were listed.
using HotRefresh = Expected<QList<HotEntry>, HotListError>;

// Cuts the home page's hot entries out at fixed markers. What a page lacks is
// carried over rather than left out: entries past the page's last repeat it,
// a value whose marker is missing repeats the entry before (across refreshes
// too), and an entry without its closing tag repeats the whole entry before.
// The scraper keeps those values from one entry and one refresh to the next.
class HotListScraper
{
public:
    explicit HotListScraper(QString webHost);

    // The fifteen entries of page. A page without any entry gives nullopt
    // and leaves what is carried over as it was.
    std::optional<QList<HotEntry>> scrape(QStringView page);
    // A fetch of the home page, as it ended (not abandoned), scraped.
    HotRefresh take(const FetchResult &fetched);

    QString pageUrl() const;

private:
    // The entry as the rules derive it, before it gets a number; also what
    // is carried over.
    struct Values
    {
        QString name;
        QString channel;
        QString shareCount;
        QString likeCount;
        QString commentCount;
        QString linkPath;
    };

    void takeBlock(QStringView block);
    HotEntry entry(int number) const;

    QString m_webHost;
    Values m_last;
};

// One refresh of the hot list: fetches the home page and hands it to the
// scraper, ending in one finished(refresh) from the event loop. The scraper
// must outlive the refresh. Destroying the refresh cancels it quietly, and
// the scraper then takes no page.
class HotListRefresh : public QObject
{
    Q_OBJECT

public:
    HotListRefresh(HotListScraper &scraper, const FetchOptions &options, QObject *parent = nullptr);
    void start();

signals:
    void finished(const HotRefresh &refresh);

private:
    HotListScraper &m_scraper;
    HttpRequest *m_request;
};
