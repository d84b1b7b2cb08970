// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The player's back end as a loadable module: a GStreamer playbin plays what
// the program's own source element reads.
#include "player/backend/stream_source.h"
#include "player/player_backend.h"

#include <QDeadlineTimer>
#include <QTimer>

#include <gst/gst.h>

#include <atomic>
#include <dlfcn.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// As often as the seek bar can show a change.
constexpr int PositionInterval = 100;
// A device list this young is still believed.
constexpr int DeviceListLifetime = 2000;
// playbin's "flags": audio only, no video or subtitle branches.
constexpr guint PlayAudioOnly = 1u << 1;

// The sound server's client library makes its context on first use and
// keeps it until exit. With no sound server its allocations come through
// frames that cannot be walked, so a leak check cannot tell them from ours;
// they are left out of it.
struct SoundServerAllocations
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler notChecked;
#endif
};

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

bool probeAudioOutputs()
{
    [[maybe_unused]] const SoundServerAllocations server;
    GstDeviceMonitor *monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
    GList *devices = gst_device_monitor_get_devices(monitor);
    const bool any = devices != nullptr;
    g_list_free_full(devices, gst_object_unref);
    gst_object_unref(monitor);
    return any;
}

class PipelineOutput final : public SoundOutput
{
public:
    PipelineOutput(Events events, bool audible, float volume, QObject *parent)
        : SoundOutput(parent)
        , m_events(std::move(events))
        , m_clock(new QTimer(this))
    {
        m_clock->setInterval(PositionInterval);
        connect(m_clock, &QTimer::timeout, this, &PipelineOutput::showPosition);
        if (!registerStreamSource())
            return;
        [[maybe_unused]] const SoundServerAllocations server;
        m_playbin = gst_element_factory_make("playbin", nullptr);
        if (!m_playbin)
            return;
        gst_object_ref_sink(m_playbin);
        g_object_set(m_playbin, "flags", PlayAudioOnly, "volume", gdouble(volume), nullptr);
        // Without a device the sound still runs, in real time, to its end.
        if (!audible) {
            if (GstElement *sink = gst_element_factory_make("fakesink", nullptr)) {
                g_object_set(sink, "sync", TRUE, nullptr);
                g_object_set(m_playbin, "audio-sink", sink, nullptr);
            }
        }
        m_bus = gst_element_get_bus(m_playbin);
        gst_bus_set_sync_handler(m_bus, &PipelineOutput::messagePosted, this, nullptr);
    }

    ~PipelineOutput() override
    {
        if (m_playbin) {
            // Going to NULL ends the element's reads at once (its unlock)
            // and joins the streaming threads, so nothing posts afterwards.
            gst_element_set_state(m_playbin, GST_STATE_NULL);
            gst_bus_set_sync_handler(m_bus, nullptr, nullptr, nullptr);
            gst_object_unref(m_bus);
            gst_object_unref(m_playbin);
        }
        releaseSoundReader(m_readerId);
    }

    bool setSource(std::shared_ptr<SoundReader> reader) override
    {
        if (!m_playbin)
            return false;
        gst_element_set_state(m_playbin, GST_STATE_NULL);
        releaseSoundReader(m_readerId);
        m_readerId = holdSoundReader(std::move(reader));
        const QByteArray uri = streamSourceUrl(m_readerId).toEncoded();
        g_object_set(m_playbin, "uri", uri.constData(), nullptr);
        m_prerolled = false;
        m_atEnd = false;
        m_pendingSeek = -1;
        m_position = 0;
        m_duration = 0;
        setState(State::Stopped);
        return true;
    }

    void play() override
    {
        if (!m_playbin || m_failed)
            return;
        if (m_atEnd) {
            m_atEnd = false;
            setPosition(0);
        }
        if (!changeState(GST_STATE_PLAYING))
            return;
        setState(State::Playing);
        m_clock->start();
    }

    void pause() override
    {
        if (!m_playbin || m_failed || !changeState(GST_STATE_PAUSED))
            return;
        m_clock->stop();
        setState(State::Paused);
        showPosition();
    }

    void setPosition(qint64 milliseconds) override
    {
        if (!m_playbin || m_failed)
            return;
        m_atEnd = false;
        milliseconds = std::max<qint64>(milliseconds, 0);
        // Before the first frames are in, the pipeline cannot seek yet.
        if (!m_prerolled || !seekTo(milliseconds))
            m_pendingSeek = milliseconds;
        reportPosition(milliseconds);
    }

    qint64 position() const override
    {
        gint64 ns = 0;
        if (m_playbin && !m_atEnd && m_pendingSeek < 0 &&
            gst_element_query_position(m_playbin, GST_FORMAT_TIME, &ns) && ns >= 0)
            return ns / GST_MSECOND;
        return m_position;
    }

    State state() const override { return m_state; }

    void setVolume(float volume) override
    {
        if (m_playbin)
            g_object_set(m_playbin, "volume", gdouble(volume), nullptr);
    }

private:
    // On whatever thread posted: only wakes the window's thread, which
    // takes the messages off the bus itself.
    static GstBusSyncReply messagePosted(GstBus *, GstMessage *, gpointer data)
    {
        auto *output = static_cast<PipelineOutput *>(data);
        if (!output->m_drainQueued.exchange(true))
            QMetaObject::invokeMethod(output, &PipelineOutput::drainBus, Qt::QueuedConnection);
        return GST_BUS_PASS;
    }

    void drainBus()
    {
        m_drainQueued = false;
        while (GstMessage *message = gst_bus_pop(m_bus)) {
            if (!m_failed)
                handle(message);
            gst_message_unref(message);
        }
    }

    void handle(GstMessage *message)
    {
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
            fail();
            break;
        case GST_MESSAGE_EOS:
            reachedEnd();
            break;
        case GST_MESSAGE_DURATION_CHANGED:
            showDuration();
            break;
        case GST_MESSAGE_ASYNC_DONE:
            // The first frames are in (again, after a seek).
            m_prerolled = true;
            showDuration();
            if (m_pendingSeek >= 0) {
                const qint64 target = std::exchange(m_pendingSeek, -1);
                if (!seekTo(target))
                    m_pendingSeek = target;
            }
            break;
        default:
            break;
        }
    }

    bool changeState(GstState state)
    {
        if (gst_element_set_state(m_playbin, state) != GST_STATE_CHANGE_FAILURE)
            return true;
        fail();
        return false;
    }

    bool seekTo(qint64 milliseconds)
    {
        return gst_element_seek_simple(m_playbin, GST_FORMAT_TIME,
                                       GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                       milliseconds * GST_MSECOND);
    }

    void reachedEnd()
    {
        m_clock->stop();
        if (m_duration > 0)
            reportPosition(m_duration);
        m_atEnd = true;
        // Paused where it ended, so that play() can start it over.
        gst_element_set_state(m_playbin, GST_STATE_PAUSED);
        setState(State::Stopped);
    }

    void showPosition() { reportPosition(position()); }

    void reportPosition(qint64 milliseconds)
    {
        if (m_failed || milliseconds == m_position)
            return;
        m_position = milliseconds;
        m_events.position(milliseconds);
    }

    void showDuration()
    {
        gint64 ns = 0;
        if (!gst_element_query_duration(m_playbin, GST_FORMAT_TIME, &ns) || ns <= 0)
            return;
        const qint64 milliseconds = ns / GST_MSECOND;
        if (milliseconds != m_duration) {
            m_duration = milliseconds;
            m_events.duration(milliseconds);
        }
    }

    void setState(State state)
    {
        if (m_failed || state == m_state)
            return;
        m_state = state;
        m_events.state(state);
    }

    void fail()
    {
        if (m_failed)
            return;
        // Told once; whatever the pipeline does afterwards is no news.
        m_failed = true;
        m_clock->stop();
        m_state = State::Stopped;
        m_events.failed();
    }

    const Events m_events;
    QTimer *m_clock;
    GstElement *m_playbin = nullptr;
    GstBus *m_bus = nullptr;
    std::atomic<bool> m_drainQueued = false;
    quint64 m_readerId = 0;
    State m_state = State::Stopped;
    qint64 m_position = 0;
    qint64 m_duration = 0;
    qint64 m_pendingSeek = -1;
    bool m_prerolled = false;
    bool m_atEnd = false;
    bool m_failed = false;
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
        // Asked again for every sound; a list a moment old is as good.
        if (m_devicesSeen.hasExpired()) {
            m_hasDevice = registerStreamSource() && probeAudioOutputs();
            m_devicesSeen.setRemainingTime(DeviceListLifetime);
        }
        return m_hasDevice;
    }

    SoundOutput *createOutput(SoundOutput::Events events, float volume, QObject *parent) override
    {
        return new PipelineOutput(std::move(events), hasAudioOutput(), volume, parent);
    }

private:
    mutable QDeadlineTimer m_devicesSeen{0};
    mutable bool m_hasDevice = false;
};

#include "media_backend.moc"
