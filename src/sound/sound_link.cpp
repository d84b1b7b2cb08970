// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/sound_link.h"

#include <QCoreApplication>

QString soundPagePrefix(const QString &webHost)
{
    return QStringLiteral("http://") + webHost + QStringLiteral("/sound/");
}

AddressCheck checkSoundAddress(const QString &address, const QString &webHost)
{
    if (address.isEmpty())
        return AddressCheck::Empty;
    // Anywhere in the text, case-sensitive: text before the prefix is allowed.
    if (!address.contains(soundPagePrefix(webHost)))
        return AddressCheck::NotSoundPage;
    return AddressCheck::Accepted;
}

QString soundIdFromAddress(const QString &address)
{
    // Counted by position, so every "/" before the prefix shifts the piece.
    qsizetype start = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype at = address.indexOf(u'/', start);
        if (at < 0)
            return {};
        start = at + 1;
    }
    const qsizetype end = address.indexOf(u'/', start);
    return address.mid(start, end < 0 ? -1 : end - start);
}

QString soundInfoUrl(const QString &soundId, const QString &apiHost)
{
    return QStringLiteral("http://") + apiHost + QStringLiteral("/sound/info?sound_id=") + soundId;
}

QString addressCheckMessage(AddressCheck check)
{
    switch (check) {
    case AddressCheck::Empty:
        return QCoreApplication::translate("SoundLink", "请输入音乐地址..");
    case AddressCheck::NotSoundPage:
        return QCoreApplication::translate("SoundLink", "地址有误，请检查..");
    case AddressCheck::Accepted:
        break;
    }
    return {};
}

SoundLink SoundLink::fromAddress(const QString &address, const QString &apiHost)
{
    SoundLink link;
    link.address = address;
    link.soundId = soundIdFromAddress(address);
    link.infoUrl = soundInfoUrl(link.soundId, apiHost);
    return link;
}
