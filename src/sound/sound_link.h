// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

enum class AddressCheck {
    Empty,        // nothing typed
    NotSoundPage, // the sound page prefix occurs nowhere in it
    Accepted,
};

// "http://" + webHost + "/sound/"
QString soundPagePrefix(const QString &webHost);

AddressCheck checkSoundAddress(const QString &address, const QString &webHost);

// The fifth "/"-separated piece, untouched (query strings and spaces stay);
// empty when the address has fewer than five pieces.
QString soundIdFromAddress(const QString &address);

// "http://" + apiHost + "/sound/info?sound_id=" + soundId, the id verbatim.
QString soundInfoUrl(const QString &soundId, const QString &apiHost);

// The status line texts for a rejected address; empty for Accepted.
QString addressCheckMessage(AddressCheck check);

struct SoundLink
{
    QString address;
    QString soundId;
    QString infoUrl;

    static SoundLink fromAddress(const QString &address, const QString &apiHost);
};
