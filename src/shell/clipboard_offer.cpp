// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/clipboard_offer.h"

#include "shell/first_paint.h"
#include "sound/sound_link.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>

namespace {

// Longer than any address; spares trimming a whole copied document.
constexpr qsizetype MaxOfferLength = 4096;
// Enough for the cover, the file address and the demo's page.
constexpr qsizetype OwnWritesKept = 8;

QStringList &ownWrites()
{
    static QStringList texts;
    return texts;
}

} // namespace

QString clipboardOfferAddress(const QString &text, const QString &webHost, const QStringList &ownWrites)
{
    if (text.size() > MaxOfferLength)
        return {};
    const QString address = text.trimmed();
    if (address.isEmpty() || ownWrites.contains(address))
        return {};
    // A text that merely mentions an address is not one.
    if (std::any_of(address.cbegin(), address.cend(), [](QChar c) { return c.isSpace(); }))
        return {};
    // Shared from a browser, it may be the secure page or carry a query.
    if (!normalisedSoundAddress(address, webHost).startsWith(soundPagePrefix(webHost)) ||
        soundIdFromAddress(address).isEmpty())
        return {};
    return address;
}

void putOwnTextOnClipboard(const QString &text)
{
    QStringList &texts = ownWrites();
    // Remembered before writing: the change may be told at once.
    texts.removeAll(text.trimmed());
    texts.append(text.trimmed());
    if (texts.size() > OwnWritesKept)
        texts.removeFirst();
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

ClipboardOffer::ClipboardOffer(QString webHost, QObject *parent)
    : QObject(parent)
    , m_webHost(std::move(webHost))
{
    if (auto *window = qobject_cast<QWidget *>(parent)) {
        m_watchable = false;
        afterFirstPaint(window, [this] {
            m_watchable = true;
            watch(m_enabled);
        });
    }
}

void ClipboardOffer::setEnabled(bool on)
{
    m_enabled = on;
    if (m_watchable)
        watch(on);
}

void ClipboardOffer::watch(bool on)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (on == m_watching || !clipboard)
        return;
    m_watching = on;
    if (on)
        connect(clipboard, &QClipboard::dataChanged, this, &ClipboardOffer::onClipboardChanged);
    else
        disconnect(clipboard, &QClipboard::dataChanged, this, &ClipboardOffer::onClipboardChanged);
}

void ClipboardOffer::onClipboardChanged()
{
    const QString text = QGuiApplication::clipboard()->text();
    const QString address = clipboardOfferAddress(text, m_webHost, ownWrites());
    // Other text copied: the user may copy one of ours again, and that is theirs.
    // An empty clipboard is no copy; it comes between owners.
    if (const QString copied = text.trimmed(); !copied.isEmpty() && !ownWrites().contains(copied))
        ownWrites().clear();
    if (!address.isEmpty())
        emit offered(address);
}
