// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

enum class AddressCheck {
    Empty,        // nothing typed, or only white space
    NotSoundPage, // the sound page prefix occurs nowhere in it
    Accepted,
};

// "http://" + webHost + "/sound/"
QString soundPagePrefix(const QString &webHost);

// An address as people paste it, read as the rules read it: white space
// around it trimmed, the web host's "https://" page read as its "http://"
// one, and a query or fragment after the sound id dropped. Pure.
QString normalisedSoundAddress(const QString &address, const QString &webHost);

// Checks the normalised address; the prefix may stand anywhere in it, so
// text before it is allowed.
AddressCheck checkSoundAddress(const QString &address, const QString &webHost);

// The fifth "/"-separated piece, up to any "?" or "#", without white space
// around it; empty when the address has fewer than five pieces. Counted by
// position, so each "/" in text before the prefix shifts the piece.
QString soundIdFromAddress(const QString &address);

// "http://" + apiHost + "/sound/info?sound_id=" + soundId, the id verbatim.
QString soundInfoUrl(const QString &soundId, const QString &apiHost);

// The status line texts for a rejected address; empty for Accepted.
QString addressCheckMessage(AddressCheck check);

struct SoundLink
{
    QString address; // as given
    QString soundId;
    QString infoUrl;

    static SoundLink fromAddress(const QString &address, const QString &apiHost);
};
