// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Several refreshes of the hot list on one scraper, as the window and the
// command line run them: what carries over outlives every refresh. The input
// holds up to three pages split at \x01; a page starting with \x02 stands
// for a failed fetch. A page may start with a "CT:" line naming its charset.

#include "fuzz_support.h"

#include "sound/hot_list_scraper.h"
#include "util/regex_replace.h"

#include <QStringList>

namespace {

const QString WebHost = QStringLiteral("www.vexa.example:8123");
const QString LinkStart = QStringLiteral("http://") + WebHost;
const QString EntryMarker = QStringLiteral("<h3 class=\"voice-name\">");
constexpr int MaxPages = 3;

// The refresh as its steps are written down: each step cuts a piece by
// splitting the whole text (the empty text has none) and keeps the piece it
// had when the cut finds nothing; values are derived from the pieces anew
// for every entry. A failed fetch or a page without an entry marker lists
// nothing and changes nothing. The scraper must agree with it row for row,
// over any sequence of pages.
class StepByStepRefresh
{
public:
    // The fifteen rows, or nullopt when nothing is listed.
    std::optional<QList<HotEntry>> apply(const std::optional<QString> &page)
    {
        // Split once: the page is large and the same for every entry.
        const QStringList entries = page ? page->split(EntryMarker) : QStringList();
        if (entries.size() < 2)
            return std::nullopt;
        QList<HotEntry> rows;
        for (int k = 1; k <= HotEntryCount; ++k) {
            if (k < entries.size())
                m_chunk = entries.at(k);
            const QString block = through(m_chunk, QStringLiteral("</li>"));
            cut(m_namePiece, block, QStringLiteral(">"), 1);
            cut(m_linkPiece, block, QStringLiteral("href=\""), 1);
            cut(m_channelPiece, block, QStringLiteral("<div class=\"category\">"), 1);
            cut(m_sharePiece, block, QStringLiteral("分享数目\">"), 1);
            cut(m_likePiece, block, QStringLiteral("喜欢数目\">"), 1);
            cut(m_commentPiece, block, QStringLiteral("评论数目\">"), 1);
            const QString channel =
                regexReplace(through(m_channelPiece, QStringLiteral("</a>")) + QStringLiteral("/a>"),
                             QStringLiteral("</?a[^<>]*>"), QString());
            rows.append({QString::number(k), before(m_namePiece, u'<'), channel, before(m_sharePiece, u'<'),
                         before(m_likePiece, u'<'), before(m_commentPiece, u'<'),
                         LinkStart + before(m_linkPiece, u'"')});
        }
        return rows;
    }

private:
    static void cut(QString &piece, const QString &source, const QString &marker, int i)
    {
        if (source.isEmpty())
            return;
        const QStringList pieces = source.split(marker);
        if (i < pieces.size())
            piece = pieces.at(i);
    }

    static QString through(const QString &text, const QString &marker)
    {
        const qsizetype at = text.indexOf(marker);
        return at < 0 ? QString() : text.left(at + 1);
    }

    static QString before(const QString &text, QChar c)
    {
        const qsizetype at = text.indexOf(c);
        return at < 0 ? QString() : text.left(at);
    }

    QString m_chunk;
    QString m_namePiece;
    QString m_linkPiece;
    QString m_channelPiece;
    QString m_sharePiece;
    QString m_likePiece;
    QString m_commentPiece;
};

void checkRows(const QList<HotEntry> &rows)
{
    FUZZ_CHECK(rows.size() == HotEntryCount, QString::number(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const HotEntry &entry = rows.at(i);
        FUZZ_CHECK(entry.number == QString::number(i + 1), entry.number);
        FUZZ_CHECK(entry.link.startsWith(LinkStart) && !entry.link.mid(LinkStart.size()).contains(u'"'),
                   entry.link);
        for (const QString *value : {&entry.name, &entry.shareCount, &entry.likeCount, &entry.commentCount})
            FUZZ_CHECK(!value->contains(u'<'), *value);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzBytes(data, size);
    QList<QByteArray> pages;
    qsizetype start = 0;
    while (pages.size() < MaxPages - 1) {
        const qsizetype split = input.indexOf('\x01', start);
        if (split < 0)
            break;
        pages.append(input.mid(start, split - start));
        start = split + 1;
    }
    pages.append(input.mid(start));

    HotListScraper scraper(WebHost);
    StepByStepRefresh reference;
    for (const QByteArray &bytes : pages) {
        const bool fetched = !bytes.startsWith('\x02');
        const std::optional<QString> page = fetched ? std::optional(fetchedText(bytes)) : std::nullopt;
        const HotRefresh refresh = scraper.take(
            fetched ? FetchResult(FetchedBody{*page, {}, 200})
                    : FetchResult(unexpected(FetchFailure::Transport, QStringLiteral("failed"))));
        const std::optional<QList<HotEntry>> expected = reference.apply(page);
        if (!expected) {
            const auto problem = fetched ? HotListProblem::NoEntries : HotListProblem::FetchFailed;
            FUZZ_CHECK(!refresh, QStringLiteral("listed"));
            FUZZ_CHECK(refresh.error().reason == problem, QString::number(int(refresh.error().reason)));
            continue;
        }
        FUZZ_CHECK(refresh, QString::number(int(refresh.error().reason)));
        for (qsizetype i = 0; i < expected->size(); ++i)
            FUZZ_CHECK(refresh->value(i) == expected->at(i), QStringLiteral("row %1").arg(i + 1));
        checkRows(*refresh);
    }
    return 0;
}
