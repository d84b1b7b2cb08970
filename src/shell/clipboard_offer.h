// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The sound page address a clipboard text offers for the address box, or
// empty: a page of webHost alone on the clipboard (surrounding blanks
// aside) that is none of ownWrites.
QString clipboardOfferAddress(const QString &text, const QString &webHost, const QStringList &ownWrites);

// Puts text on the clipboard as this program's own: it is not offered back,
// nor are its echoes (a clipboard manager taking it over), until some other
// text has been copied.
void putOwnTextOnClipboard(const QString &text);

// Watches the clipboard while enabled and offers each sound page address
// that appears on it. With a window for parent, the watch begins once that
// window's first frame is up: the clipboard is not in it.
class ClipboardOffer : public QObject
{
    Q_OBJECT

public:
    explicit ClipboardOffer(QString webHost, QObject *parent = nullptr);

    // Off at first; only changes made while on (and watched) are offered.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

signals:
    void offered(const QString &address);

private:
    void watch(bool on);
    void onClipboardChanged();

    const QString m_webHost;
    bool m_enabled = false;
    bool m_watchable = true; // false until the parent window's first frame
    bool m_watching = false;
};
