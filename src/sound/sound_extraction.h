#pragma once

#include "sound/work_slots.h"

#include <QString>

#include <optional>

// Piece n (from 0) of text split at every occurrence of pattern; nullopt when
// the pattern occurs fewer than n times. Found by searching, never by
// building the whole list of pieces, so large responses stay cheap.
std::optional<QString> KeyPiece(const QString &text, const QString &pattern, int n);

// The part of piece before the first stop character; empty when stop is absent.
QString TextBefore(const QString &piece, QChar stop);

// "\"key\":\"" — the value is a JSON string and the piece starts inside it.
QString TextKeyPattern(const QString &key);
// "\"key\":" — the piece starts right after the colon.
QString NumberKeyPattern(const QString &key);

// Creation time in seconds (as text) to the publishing time text: epoch plus
// the seconds plus a fixed 8 hours, "yyyy-MM-dd HH:mm:ss", or the date alone at
// midnight. Fractions are rounded down. nullopt when the text is not a number
// or the date falls outside years 1 to 9999.
std::optional<QString> PublishTimeText(const QString &createTime);

// Name and singer as the main window shows them.
QString ShortSoundName(const QString &soundName);
QString ShortSinger(const QString &singer);

struct ExtractionResult
{
    bool ok = false;
    QString error; // what was missing or unreadable when !ok
};

// Cuts the record out of work[RawResponseSlot] into slots 4 to 35. All or
// nothing: on failure none of those slots changes, so the previous record
// stays usable.
ExtractionResult ExtractSoundInfo(WorkSlots &work);
