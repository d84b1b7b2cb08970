// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The maker's version file as the update check reads it, and the version
// text shown in the window.

#include "fuzz_support.h"

#include "net/update_check.h"
#include "util/version_text.h"

#include <QStringList>

#include <cstring>

namespace {

const QString Marker = QStringLiteral("vexa:");

void checkVersionText(const uint8_t *data, size_t size)
{
    int numbers[3] = {};
    if (size < sizeof numbers)
        return;
    std::memcpy(numbers, data, sizeof numbers);
    const QString text = versionText(numbers[0], numbers[1], numbers[2]);
    FUZZ_CHECK(text.startsWith(u'V'), text);
    const QStringList parts = text.mid(1).split(u'.');
    FUZZ_CHECK(parts.size() == 3, text);
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        FUZZ_CHECK(parts.at(i).toInt(&ok) == numbers[i] && ok, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkVersionText(data, size);

    const QString file = fetchedText(fuzzBytes(data, size));
    const std::optional<QString> tag = versionTagIn(file);
    const UpdateOutcome outcome = decideUpdate(file);
    const qsizetype marker = file.indexOf(Marker);
    if (!tag) {
        FUZZ_CHECK(outcome == UpdateOutcome::CheckFailed, file);
        if (marker >= 0) {
            // No bar before the next marker (or the end).
            const qsizetype next = file.indexOf(Marker, marker + Marker.size());
            const qsizetype bar = file.indexOf(u'|', marker + Marker.size());
            FUZZ_CHECK(bar < 0 || (next >= 0 && bar >= next), file);
        }
        return 0;
    }
    // The tag sits right after the first marker and ends at a bar.
    FUZZ_CHECK(marker >= 0 && file.mid(marker + Marker.size()).startsWith(*tag + u'|'), *tag);
    FUZZ_CHECK(!tag->contains(u'|') && !tag->contains(Marker), *tag);
    if (tag->isEmpty())
        FUZZ_CHECK(outcome == UpdateOutcome::CheckFailed, file);
    else if (*tag == CurrentVersionTag)
        FUZZ_CHECK(outcome == UpdateOutcome::UpToDate, file);
    else
        FUZZ_CHECK(outcome == UpdateOutcome::OtherVersion && otherVersionMessage(*tag).contains(*tag), *tag);
    return 0;
}
