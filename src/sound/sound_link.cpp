// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/sound_link.h"

#include <QCoreApplication>

namespace {

// Where the fifth "/"-separated piece starts; -1 when there are fewer than five.
qsizetype idStart(QStringView address)
{
    qsizetype start = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype at = address.indexOf(u'/', start);
        if (at < 0)
            return -1;
        start = at + 1;
    }
    return start;
}

// The first "?" or "#" at or after from; -1 when there is none.
qsizetype queryStart(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == u'?' || text[i] == u'#')
            return i;
    }
    return -1;
}

} // namespace

QString soundPagePrefix(const QString &webHost)
{
    return QStringLiteral("http://") + webHost + QStringLiteral("/sound/");
}

QString normalisedSoundAddress(const QString &address, const QString &webHost)
{
    QString text = address.trimmed();
    // The service serves its pages over both schemes; the rules know the plain one.
    const QString secure = QStringLiteral("https://") + webHost + QStringLiteral("/sound/");
    if (const qsizetype at = text.indexOf(secure); at >= 0)
        text.replace(at, secure.size(), soundPagePrefix(webHost));
    // Share buttons add a query; neither it nor a fragment is part of the id.
    if (const qsizetype start = idStart(text); start >= 0) {
        if (const qsizetype query = queryStart(text, start); query >= 0) {
            text.truncate(query);
            text = text.trimmed();
        }
    }
    return text;
}

AddressCheck checkSoundAddress(const QString &address, const QString &webHost)
{
    const QString normalised = normalisedSoundAddress(address, webHost);
    if (normalised.isEmpty())
        return AddressCheck::Empty;
    // Anywhere in the text, case-sensitive: text before the prefix is allowed.
    if (!normalised.contains(soundPagePrefix(webHost)))
        return AddressCheck::NotSoundPage;
    return AddressCheck::Accepted;
}

QString soundIdFromAddress(const QString &address)
{
    const qsizetype start = idStart(address);
    if (start < 0)
        return {};
    const qsizetype slash = address.indexOf(u'/', start);
    QStringView piece = QStringView(address).mid(start, slash < 0 ? -1 : slash - start);
    if (const qsizetype query = queryStart(piece, 0); query >= 0)
        piece.truncate(query);
    return piece.trimmed().toString();
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
