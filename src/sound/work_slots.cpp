#include "sound/work_slots.h"

SoundInfo SoundInfo::fromSlots(const WorkSlots &work)
{
    SoundInfo info;
    info.soundId = work[SoundIdSlot];
    info.rawResponse = work[RawResponseSlot];
    info.coverUrl = work[CoverUrlSlot];
    info.fileUrl = work[FileUrlSlot];
    info.soundName = work[SoundNameSlot];
    info.singer = work[SingerSlot];
    info.infoRaw = work[InfoRawSlot];
    info.shortName = work[ShortNameSlot];
    info.playCount = work[PlayCountSlot];
    info.fanCount = work[FanCountSlot];
    info.shareCount = work[ShareCountSlot];
    info.createTime = work[CreateTimeSlot];
    info.publishTime = work[PublishTimeSlot];
    info.shortSinger = work[ShortSingerSlot];
    info.infoText = work[InfoTextSlot];
    return info;
}
