// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_result.h"
#include "download/name_template.h"
#include "download/sound_tags.h"
#include "library/download_entry.h"
#include "library/download_settings.h"
#include "sound/sound_info.h"

// The values a record gives the naming template.
NameFields nameFieldsOf(const SoundInfo &record);

// The tags a record gives its saved file; pageAddress is the sound's page.
SoundTags soundTagsOf(const SoundInfo &record, const QString &pageAddress, int id3Version);

// The download of a record's sound file as the settings want it: into their
// folder (else the user's download folder, else home), named by their
// template, tagged when they say so. The window and the command line share it.
DownloadRequest soundDownloadRequest(const SoundInfo &record, const QString &pageAddress,
                                     const DownloadSettings &settings);

// The history entry for downloading the record under these settings, not
// yet stored: what soundDownloadRequest() would fetch, with the record's
// name and singer.
DownloadEntry soundDownloadEntry(const SoundInfo &record, const QString &pageAddress,
                                 const DownloadSettings &settings);
