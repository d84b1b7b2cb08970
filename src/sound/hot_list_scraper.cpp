// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/hot_list_scraper.h"

#include "net/service_config.h"
#include "util/regex_replace.h"
#include "util/text_cut.h"

namespace {

// Markers of the home page's markup, matched exactly and case-sensitively.
const QString EntryMarker = QStringLiteral("<h3 class=\"voice-name\">");
const QString BlockEnd = QStringLiteral("</li>");
const QString NameStart = QStringLiteral(">");
const QString LinkMarker = QStringLiteral("href=\"");
const QString ChannelMarker = QStringLiteral("<div class=\"category\">");
const QString ChannelEnd = QStringLiteral("</a>");
const QString ShareMarker = QStringLiteral("分享数目\">");
const QString LikeMarker = QStringLiteral("喜欢数目\">");
const QString CommentMarker = QStringLiteral("评论数目\">");
constexpr QChar ValueEnd = u'<';
constexpr QChar Quote = u'"';

// Up to and including the first character of marker; empty when absent.
QStringView throughFirst(QStringView text, QStringView marker)
{
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? QStringView() : text.left(at + 1);
}

QString channelFrom(QStringView piece)
{
    // Through the "<" of the closing tag, then the rest of that tag back on,
    // so a piece without one still ends in "/a>".
    return regexReplace(throughFirst(piece, ChannelEnd).toString() + QStringLiteral("/a>"),
                        QStringLiteral("</?a[^<>]*>"), QString());
}

} // namespace

QString HotEntry::field(int column) const
{
    switch (column) {
    case 0:
        return number;
    case 1:
        return name;
    case 2:
        return channel;
    case 3:
        return shareCount;
    case 4:
        return likeCount;
    case 5:
        return commentCount;
    case 6:
        return link;
    default:
        return {};
    }
}

HotListScraper::HotListScraper(QString webHost)
    : m_webHost(std::move(webHost))
{
    // What a first entry without a channel shows.
    m_last.channel = channelFrom({});
}

QString HotListScraper::pageUrl() const
{
    ServiceConfig config;
    config.webHost = m_webHost;
    return config.hotPageUrl();
}

void HotListScraper::takeBlock(QStringView block)
{
    // An empty block (no closing tag) finds no marker, so every value stays.
    if (const auto piece = keyPiece(block, NameStart, 1))
        m_last.name = textBefore(*piece, ValueEnd);
    if (const auto piece = keyPiece(block, LinkMarker, 1))
        m_last.linkPath = textBefore(*piece, Quote);
    if (const auto piece = keyPiece(block, ChannelMarker, 1))
        m_last.channel = channelFrom(*piece);
    if (const auto piece = keyPiece(block, ShareMarker, 1))
        m_last.shareCount = textBefore(*piece, ValueEnd);
    if (const auto piece = keyPiece(block, LikeMarker, 1))
        m_last.likeCount = textBefore(*piece, ValueEnd);
    if (const auto piece = keyPiece(block, CommentMarker, 1))
        m_last.commentCount = textBefore(*piece, ValueEnd);
}

HotEntry HotListScraper::entry(int number) const
{
    return {QString::number(number),
            m_last.name,
            m_last.channel,
            m_last.shareCount,
            m_last.likeCount,
            m_last.commentCount,
            QStringLiteral("http://") + m_webHost + m_last.linkPath};
}

std::optional<QList<HotEntry>> HotListScraper::scrape(QStringView page)
{
    // Entry k is the text from its marker to the next one, or to the end.
    const QList<QStringView> chunks = keyPieces(page, EntryMarker, 1, HotEntryCount);
    if (chunks.isEmpty())
        return std::nullopt;
    QList<HotEntry> entries;
    entries.reserve(HotEntryCount);
    for (int k = 0; k < HotEntryCount; ++k) {
        // Past the page's last entry nothing is taken: it repeats.
        if (k < chunks.size())
            takeBlock(throughFirst(chunks.at(k), BlockEnd));
        entries.append(entry(k + 1));
    }
    return entries;
}

HotRefresh HotListScraper::take(const FetchResult &fetched)
{
    if (!fetched)
        return unexpected(HotListProblem::FetchFailed, fetched.error());
    if (std::optional<QList<HotEntry>> entries = scrape(fetched->text))
        return std::move(*entries);
    return unexpected(HotListProblem::NoEntries, FetchError{});
}

HotListRefresh::HotListRefresh(HotListScraper &scraper, const FetchOptions &options, QObject *parent)
    : QObject(parent)
    , m_scraper(scraper)
    , m_request(new HttpRequest(scraper.pageUrl(), options, BodyAs::Text, this))
{
    connect(m_request, &HttpRequest::finished, this, [this](const FetchResult &fetched) {
        if (isAbandoned(fetched)) // the program is ending: nobody is left to tell
            return;
        emit finished(m_scraper.take(fetched));
    });
}

void HotListRefresh::start()
{
    m_request->start();
}
