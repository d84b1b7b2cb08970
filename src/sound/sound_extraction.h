// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/sound_info.h"
#include "util/expected.h"

#include <QString>
#include <QStringView>

#include <optional>

// How escaped line breaks (\r, \n, \u000d, \u000a) come out of a JSON text.
enum class LineBreaks {
    AsEscaped, // each as the one character it names
    CrLf,      // \r\n, \r alone and \n alone each as one "\r\n"
};

// The JSON string that starts piece, read up to its first unescaped quotation
// mark, escapes decoded; piece starts just after the opening quotation mark.
// A lone surrogate becomes U+FFFD; an unknown escape stays as written. Empty
// when the string is not closed within piece.
QString jsonTextValue(QStringView piece, LineBreaks breaks = LineBreaks::AsEscaped);

// Creation time in seconds (as text) to the publishing time text: epoch plus
// the seconds plus a fixed 8 hours, "yyyy-MM-dd HH:mm:ss", or the date alone at
// midnight. Fractions are rounded down. nullopt when the text is not a number
// or the date falls outside years 1 to 9999.
std::optional<QString> publishTimeText(const QString &createTime);

// Name and singer as the main window shows them. Lengths count UTF-16 code
// units; a cut never splits a surrogate pair.
QString shortSoundName(const QString &soundName);
QString shortSinger(const QString &singer);

// Why an answer holds no record.
enum class ExtractionProblem {
    NoRecord,      // a key is missing: an unknown sound or an error page
    BadCreateTime, // the creation time (in detail) is not a number of seconds
};
using ExtractionError = Failure<ExtractionProblem>;
// Said as the window says it, never naming a key of the answer.
QString extractionFailureText(const ExtractionError &error);

// The record (soundId left empty: the answer is not asked for it), or why
// the answer holds none. All or nothing.
using SoundExtraction = Expected<SoundInfo, ExtractionError>;

// Cuts the record out of the sound-info answer by plain text search for
// each key, as the service's answers are read.
SoundExtraction extractSoundInfo(const QString &answer);
