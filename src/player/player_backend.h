// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the player bar asks of its back end, a module loaded on the first
// sound (see player_module.h), so that a start-up never loads the media
// framework and the sound libraries it brings. Only plain virtual calls
// cross between the program and the module: no meta-objects or statics of
// the program's libraries are needed on the module's side.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// The bytes of one sound as the player reads them, from the media
// framework's own thread.
class SoundReader
{
public:
    // What read() gives besides a byte count.
    static constexpr qint64 End = 0;
    static constexpr qint64 Failed = -1;
    static constexpr qint64 Interrupted = -2;

    virtual ~SoundReader() = default;
    // Up to maxBytes from offset into out, once at least one is there.
    virtual qint64 read(qint64 offset, char *out, qint64 maxBytes) = 0;
    // While set, every read returns Interrupted at once, waiting ones too.
    virtual void setInterrupted(bool interrupted) = 0;
    virtual qint64 size() const = 0; // -1 while unknown
    virtual QString failure() const = 0;
};

// One sound being played. A QObject so that it has a parent and can go
// later; it has no signals of its own: it reports through Events, on the
// thread it was made in, and stops reporting once it has failed.
class SoundOutput : public QObject
{
public:
    enum class State { Stopped, Playing, Paused };

    struct Events
    {
        std::function<void(qint64 milliseconds)> position;
        std::function<void(qint64 milliseconds)> duration;
        std::function<void(State)> state;
        std::function<void()> failed; // the sound cannot play
    };

    using QObject::QObject;

    // False when the media framework cannot read the program's sounds.
    virtual bool setSource(std::shared_ptr<SoundReader> reader) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void setPosition(qint64 milliseconds) = 0;
    virtual qint64 position() const = 0;
    virtual State state() const = 0;
    virtual void setVolume(float volume) = 0; // 0 to 1
};

// The module's root object.
class PlayerBackend
{
public:
    virtual ~PlayerBackend() = default;
    // Without one a sound still runs, silently, to its end.
    virtual bool hasAudioOutput() const = 0;
    virtual SoundOutput *createOutput(SoundOutput::Events events, float volume, QObject *parent) = 0;
};

// Its number changes with any change above, so that a module built against
// another version is refused instead of called wrongly.
#define VexaPlayerBackendIid "org.example.vexahelper.PlayerBackend/1"
Q_DECLARE_INTERFACE(PlayerBackend, VexaPlayerBackendIid)
