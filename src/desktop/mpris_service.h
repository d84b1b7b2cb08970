// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/sound_info.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

class MainWindow;
class PlayerBar;

// The main window's player as the desktop's media keys and sound menus see
// it (MPRIS 2): what plays, its cover and length, play, pause, stop, seek
// and volume. A child of the window; the D-Bus interfaces are its adaptors.
class MprisService : public QObject
{
    Q_OBJECT

public:
    static inline const QString ServiceName = QStringLiteral("org.mpris.MediaPlayer2.vexa-helper");
    static inline const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

    explicit MprisService(MainWindow *window);
    ~MprisService() override;

    // Exports the interfaces on bus under ServiceName, or under an instance
    // name when another window has it. False, and nothing exported, when
    // the bus is not there or refuses.
    bool registerOn(const QDBusConnection &bus);
    QString serviceName() const { return m_serviceName; }

    // What the adaptors answer and do.
    QString identity() const;
    void raise();
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double volume);
    qlonglong position() const; // microseconds, as are the offsets below
    bool canPlay() const;
    bool canSeek() const;
    // Only while a list plays.
    bool canGoNext() const;
    bool canGoPrevious() const;
    void next();
    void previous();
    void play();
    void pause();
    void playPause();
    void stop();
    void seekBy(qlonglong offset);
    void setPosition(const QDBusObjectPath &track, qlonglong position);

signals:
    void seeked(qlonglong position);

private:
    void showSound(const SoundInfo &sound, const QImage &cover);
    QVariantMap changingProperties() const;
    void tellChanges();
    QDBusObjectPath trackId() const;

    MainWindow *m_window;
    PlayerBar *m_player;
    QDBusConnection m_bus{QString()};
    QString m_serviceName;
    SoundInfo m_sound;
    QString m_coverUrl; // file:// address of the cover's cached copy
    QVariantMap m_told; // as last announced by PropertiesChanged
};
