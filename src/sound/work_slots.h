#pragma once

#include <QString>

#include <array>

// Fixed slot numbers of the analysis. The numbers themselves are behaviour:
// later steps and the result display read these exact slots.
enum WorkSlot : int {
    SoundIdSlot = 0,
    RawResponseSlot = 1,
    CoverPieceSlot = 4,
    CoverUrlSlot = 5,
    SourcePieceSlot = 6,
    FileUrlSlot = 7,
    NamePieceSlot = 8,
    SoundNameSlot = 9,
    SingerPieceSlot = 14,
    SingerSlot = 15,
    InfoPieceSlot = 17,
    InfoRawSlot = 18,
    ShortNameSlot = 19,
    PlayPieceSlot = 24,
    PlayCountSlot = 25,
    FanPieceSlot = 26,
    FanCountSlot = 27,
    SharePieceSlot = 28,
    ShareCountSlot = 29,
    CreatePieceSlot = 30,
    CreateTimeSlot = 31,
    PublishTimeSlot = 32,
    ShortSingerSlot = 33,
    InfoTextSlot = 35,
};

// The main window's table of 101 text slots, all empty at creation.
class WorkSlots
{
public:
    static constexpr int Count = 101;

    QString &operator[](int index) { return m_slots.at(static_cast<size_t>(index)); }
    const QString &operator[](int index) const { return m_slots.at(static_cast<size_t>(index)); }

    bool operator==(const WorkSlots &other) const = default;

private:
    std::array<QString, Count> m_slots;
};

// The record as the slots hold it, for display and export.
struct SoundInfo
{
    QString soundId;
    QString rawResponse;
    QString coverUrl;
    QString fileUrl;
    QString soundName;
    QString singer;
    QString infoRaw;
    QString shortName;
    QString playCount;
    QString fanCount;
    QString shareCount;
    QString createTime;
    QString publishTime;
    QString shortSinger;
    QString infoText;

    static SoundInfo fromSlots(const WorkSlots &work);
};
