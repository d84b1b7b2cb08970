// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The player's back end as a loadable module: Qt Multimedia plays what the
// program's own source element reads.
#include "player/backend/stream_source.h"
#include "player/player_backend.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>

#include <dlfcn.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Qt makes its PulseAudio engine on first use and keeps it until exit. With no
// sound server its allocations come through frames that cannot be walked, so
// a leak check cannot tell them from ours; they are left out of it.
struct AudioEngineAllocations
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler notChecked;
#endif
};

QAudioOutput *newAudioOutput(QObject *parent)
{
    [[maybe_unused]] const AudioEngineAllocations engine;
    return new QAudioOutput(parent);
}

// ALSA writes its own complaints (no card, no "default" device) straight to
// the terminal, again for every sound; the window already says there is no
// audio device. Looked up at run time: the back end does not link ALSA.
void silentAlsaHandler(const char *, int, const char *, int, const char *, ...) {}

void quietSoundLibraries()
{
    using Handler = void (*)(const char *, int, const char *, int, const char *, ...);
    if (void *alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL)) {
        // Kept loaded: the handler must stay set for the players that load it later.
        if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
            set(&silentAlsaHandler);
    }
    // OpenAL's sink logs to the terminal unless told otherwise.
    if (!qEnvironmentVariableIsSet("ALSOFT_LOGLEVEL"))
        qputenv("ALSOFT_LOGLEVEL", "0");
}

SoundOutput::State stateOf(QMediaPlayer::PlaybackState state)
{
    switch (state) {
    case QMediaPlayer::PlayingState:
        return SoundOutput::State::Playing;
    case QMediaPlayer::PausedState:
        return SoundOutput::State::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return SoundOutput::State::Stopped;
}

class MediaOutput final : public SoundOutput
{
public:
    MediaOutput(Events events, float volume, QObject *parent)
        : SoundOutput(parent)
        , m_events(std::move(events))
        , m_audio(newAudioOutput(this))
        , m_player(new QMediaPlayer(this))
    {
        m_audio->setVolume(volume);
        m_player->setAudioOutput(m_audio);
        connect(m_player, &QMediaPlayer::positionChanged, this, [this](qint64 ms) { m_events.position(ms); });
        connect(m_player, &QMediaPlayer::durationChanged, this, [this](qint64 ms) { m_events.duration(ms); });
        connect(m_player, &QMediaPlayer::playbackStateChanged, this,
                [this](QMediaPlayer::PlaybackState state) { m_events.state(stateOf(state)); });
        connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
            if (error != QMediaPlayer::NoError)
                fail();
        });
        connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::InvalidMedia)
                fail();
        });
    }

    ~MediaOutput() override
    {
        // The player goes first: deleting it ends the element's reads at
        // once, where stopping one still waiting for bytes would block.
        disconnect(m_player, nullptr, this, nullptr);
        delete m_player;
        releaseSoundReader(m_readerId);
    }

    bool setSource(std::shared_ptr<SoundReader> reader) override
    {
        if (!registerStreamSource())
            return false;
        releaseSoundReader(m_readerId);
        m_readerId = holdSoundReader(std::move(reader));
        m_player->setSource(streamSourceUrl(m_readerId));
        return true;
    }

    void play() override { m_player->play(); }
    void pause() override { m_player->pause(); }
    void setPosition(qint64 milliseconds) override { m_player->setPosition(milliseconds); }
    qint64 position() const override { return m_player->position(); }
    State state() const override { return stateOf(m_player->playbackState()); }
    void setVolume(float volume) override { m_audio->setVolume(volume); }

private:
    void fail()
    {
        // Told once; whatever the player does afterwards is no news.
        disconnect(m_player, nullptr, this, nullptr);
        m_events.failed();
    }

    const Events m_events;
    QAudioOutput *m_audio;
    QMediaPlayer *m_player;
    quint64 m_readerId = 0;
};

} // namespace

class MediaBackend final : public QObject, public PlayerBackend
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VexaPlayerBackendIid)
    Q_INTERFACES(PlayerBackend)

public:
    MediaBackend() { quietSoundLibraries(); }

    bool hasAudioOutput() const override
    {
        [[maybe_unused]] const AudioEngineAllocations engine;
        return !QMediaDevices::audioOutputs().isEmpty();
    }

    SoundOutput *createOutput(SoundOutput::Events events, float volume, QObject *parent) override
    {
        return new MediaOutput(std::move(events), volume, parent);
    }
};

#include "media_backend.moc"
