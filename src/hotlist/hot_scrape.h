#pragma once

#include "services/http_text_fetch.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Fixed slot numbers of the refresh. Each step writes exactly one of them,
// and only when it succeeds, so a failed step shows the previous value.
enum HotSlot : int {
    PageText = 0,
    Chunk = 1,
    Block = 2,
    NamePiece = 3,
    Name = 4,
    LinkPiece = 5,
    LinkPath = 6,
    ChannelPiece = 7,
    Channel = 8,
    SharePiece = 9,
    ShareCount = 10,
    LikePiece = 11,
    LikeCount = 12,
    CommentPiece = 13,
    CommentCount = 14,
};

// A row of a list as the refresh knows it; rows keep their id until removed.
using HotRowId = quint64;

// The refresh's working state: 51 text slots (0 to 14 used), empty at
// creation and never cleared, and the row added last. Both outlive passes,
// refreshes and the window's on-screen part.
class HotScrapeSlots
{
public:
    static constexpr int Count = 51;

    QString &operator[](int index) { return m_slots.at(static_cast<size_t>(index)); }
    const QString &operator[](int index) const { return m_slots.at(static_cast<size_t>(index)); }

    // The current row: the row writes of every pass go through it.
    std::optional<HotRowId> currentRow;

private:
    std::array<QString, Count> m_slots;
};

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
    // Field i in column order: number first, link last.
    QString field(int column) const;
    void setField(int column, const QString &text);

    bool operator==(const HotEntry &other) const = default;
};

// The list the refresh writes to. Every operation may fail (the list is gone,
// or the row is no longer in it); a failed one changes nothing.
class HotRowSink
{
public:
    virtual ~HotRowSink() = default;

    virtual bool removeAllRows() = 0;
    // Adds an empty row at the end and returns its id.
    virtual std::optional<HotRowId> addRow() = 0;
    virtual std::optional<int> rowCount() const = 0;
    // Column 0 is the row's text, 1 to 6 its sub-items.
    virtual bool setRowText(HotRowId row, int column, const QString &text) = 0;
};

// Rows kept in memory: the command line's list, and a plain list for tests.
class HotRowTable : public HotRowSink
{
public:
    bool removeAllRows() override;
    std::optional<HotRowId> addRow() override;
    std::optional<int> rowCount() const override;
    bool setRowText(HotRowId row, int column, const QString &text) override;

    const QList<HotEntry> &entries() const { return m_entries; }

private:
    QList<HotEntry> m_entries;
    QList<HotRowId> m_ids;
    HotRowId m_nextId = 1;
};

// The cuts besides KeyPiece and TextBefore (sound/sound_extraction.h), which
// the passes share with the analysis. The passes never ask for piece 0, the
// only one KeyPiece finds in the empty text, so there the empty text has no
// pieces at all.

// From the start up to and including the first character of the first
// occurrence of marker; empty when marker does not occur.
QStringView ThroughFirst(QStringView text, QStringView marker);
// Every opening or closing a-tag, in any letter case, removed.
QString StripLinkTags(const QString &text);

// Cuts entry k (from 1) out of the page slot, one slot per step.
void ScrapeEntry(HotScrapeSlots &scrape, int k);
// Adds a row and writes the entry's slots into it, through the current row.
void WriteEntryRow(HotScrapeSlots &scrape, HotRowSink &rows, const QString &webHost);

inline constexpr int HotEntryCount = 15;

// Everything after the fetch: stores the page (nullopt: the fetch failed and
// the last page stays), empties the list and writes the fifteen rows.
void ApplyHotPage(HotScrapeSlots &scrape, HotRowSink &rows, const std::optional<QString> &page,
                  const QString &webHost);

struct HotRefreshOutcome
{
    bool fetched = false;
    bool abandoned = false; // nobody wanted the answer; nothing was written
    QString error;          // one line, when the fetch failed
};

// Fetches the home page, then ApplyHotPage. A failed fetch still refills the
// list from the last page. An abandoned one (cancelled, or the program is
// quitting) returns at once without touching slots or rows, whose owner may
// be gone by then.
HotRefreshOutcome RefreshHotList(HotScrapeSlots &scrape, HotRowSink &rows, const QString &webHost,
                                 const FetchOptions &options = {});
