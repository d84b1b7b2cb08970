// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "player/player_backend.h"

#include <QIcon>
#include <QUrl>
#include <QWidget>

class QLabel;
class SoundStream;
struct SoundStreamOpening;
class QSlider;
class QToolButton;

// The player strip: play/pause, a seek slider, elapsed and total time,
// volume, and a short message when something cannot play. The back end is
// loaded and its media objects made on first use, so a window that never
// plays never pays for them.
class PlayerBar : public QWidget
{
    Q_OBJECT

public:
    // The strip's upper part; the status bar covers the rest.
    static constexpr int ControlsHeight = 29;

    explicit PlayerBar(QWidget *parent = nullptr);

    // Plays url from the start, as the player's auto-start does; an empty
    // url stops and leaves nothing to play. The sound is fetched by the
    // program's own network requests and handed to the player once its
    // answer has begun.
    void setSource(const QUrl &url);
    QUrl source() const { return m_source; }
    QString message() const;
    bool hasMediaObjects() const { return m_output != nullptr; }
    SoundOutput::State playbackState() const;

    // While a list plays: row `index` (from 0) of `count`, with buttons to
    // the previous and next sound; a count of 0 is one sound again.
    void setListPosition(int index, int count);
    bool showsList() const;

    // The controls Tab visits, in order.
    QList<QWidget *> tabStops() const;

    // The volume slider's value, 0 to 100.
    int volume() const;
    void setVolume(int volume);

    // What the play button does, for other controls such as the desktop's
    // media keys. play() after stop() or a failure starts the sound afresh.
    void play();
    void pause();
    void togglePlay();
    // Lets the sound go; the source stays, ready to play again.
    void stop();
    void seek(qint64 milliseconds);
    qint64 position() const;                       // milliseconds
    qint64 duration() const { return m_duration; } // 0 while unknown

signals:
    void volumeChanged(int volume);
    void playbackStateChanged(SoundOutput::State state);
    void durationChanged(qint64 milliseconds);
    // A jump in the sound, by the slider, its keys or seek().
    void seeked(qint64 milliseconds);
    // The sound moved on while playing.
    void positionChanged(qint64 milliseconds);
    // The sound played to its end.
    void ended();
    // The sound cannot be played.
    void failed();
    // The list's buttons were pressed.
    void previousRequested();
    void nextRequested();

private:
    void describe();
    void makeListControls();
    bool makeOutput();
    void openStream();
    void streamOpened(const SoundStreamOpening &result);
    void giveUp();
    void dropOutput();
    void showPosition(qint64 position);
    void showDuration(qint64 duration);
    void showState(SoundOutput::State state);
    void showMessage(const QString &text);
    void placeControls();

    QToolButton *m_playButton = nullptr;
    QToolButton *m_previousButton = nullptr;
    QToolButton *m_nextButton = nullptr;
    QLabel *m_listLabel = nullptr;
    QSlider *m_seek = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_volumeIcon = nullptr;
    QSlider *m_volume = nullptr;
    QLabel *m_message = nullptr;
    SoundOutput *m_output = nullptr; // a new one for every sound
    SoundStream *m_stream = nullptr; // the sound now given to the output
    QIcon m_playIcon;
    QIcon m_pauseIcon;
    QUrl m_source;
    qint64 m_duration = 0;
    SoundOutput::State m_shownState = SoundOutput::State::Stopped;
};

// "m:ss", or "h:mm:ss" from an hour on.
QString playerTimeText(qint64 milliseconds);
