// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/mpris_service.h"

#include "desktop/mpris_adaptors.h"
#include "shell/main_window.h"
#include "shell/player_bar.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A sound id as one element of an object path and as a file name: letters
// and digits stay, every other byte becomes _XX, so distinct ids stay distinct.
QString pathElement(const QString &soundId)
{
    QString element;
    for (const char c : soundId.toUtf8()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            element += QLatin1Char(c);
        else
            element += QStringLiteral("_%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return element.isEmpty() ? QStringLiteral("_") : element;
}

// Sound menus show covers from files only: the cover goes to the cache
// folder once per sound. Empty when it cannot be written.
QString cachedCoverUrl(const QString &soundId, const QImage &cover)
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/covers");
    const QString path = folder + QLatin1Char('/') + pathElement(soundId) + QStringLiteral(".png");
    if (!QFileInfo::exists(path)) {
        if (cover.isNull() || !QDir().mkpath(folder))
            return QString();
        // Menus show it small; a huge cover would hold the window up while it is encoded.
        constexpr int MaxSide = 512;
        const QImage small =
            cover.width() > MaxSide || cover.height() > MaxSide
                ? cover.scaled(MaxSide, MaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : cover;
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !small.save(&file, "PNG") || !file.commit())
            return QString();
    }
    return QUrl::fromLocalFile(path).toString();
}

QString statusName(SoundOutput::State state)
{
    switch (state) {
    case SoundOutput::State::Playing:
        return QStringLiteral("Playing");
    case SoundOutput::State::Paused:
        return QStringLiteral("Paused");
    case SoundOutput::State::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

} // namespace

MprisService::MprisService(MainWindow *window)
    : QObject(window)
    , m_window(window)
    , m_player(window->player())
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    connect(window, &MainWindow::soundShown, this, &MprisService::showSound);
    connect(window, &MainWindow::playListChanged, this, &MprisService::tellChanges);
    connect(m_player, &PlayerBar::playbackStateChanged, this, &MprisService::tellChanges);
    connect(m_player, &PlayerBar::durationChanged, this, &MprisService::tellChanges);
    connect(m_player, &PlayerBar::volumeChanged, this, &MprisService::tellChanges);
    connect(m_player, &PlayerBar::seeked, this, [this](qint64 ms) { emit seeked(ms * 1000); });
}

MprisService::~MprisService()
{
    if (m_serviceName.isEmpty())
        return;
    m_bus.unregisterService(m_serviceName);
    m_bus.unregisterObject(ObjectPath);
}

bool MprisService::registerOn(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !m_serviceName.isEmpty())
        return false;
    m_bus = bus;
    if (!m_bus.registerObject(ObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    // A second window (--new-window) is told apart as the convention has it.
    const QString instanceName =
        ServiceName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString &name : {ServiceName, instanceName}) {
        if (m_bus.registerService(name)) {
            m_serviceName = name;
            m_told = changingProperties();
            return true;
        }
    }
    m_bus.unregisterObject(ObjectPath);
    return false;
}

QString MprisService::identity() const
{
    return m_window->windowTitle();
}

void MprisService::raise()
{
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void MprisService::showSound(const SoundInfo &sound, const QImage &cover)
{
    m_sound = sound;
    m_coverUrl = cachedCoverUrl(sound.soundId, cover);
    tellChanges();
}

QDBusObjectPath MprisService::trackId() const
{
    return QDBusObjectPath(QStringLiteral("/org/example/vexahelper/sound/") + pathElement(m_sound.soundId));
}

QString MprisService::playbackStatus() const
{
    return statusName(m_player->playbackState());
}

QVariantMap MprisService::metadata() const
{
    if (m_sound.soundId.isEmpty())
        return {};
    QVariantMap map{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId())},
        {QStringLiteral("xesam:title"), m_sound.soundName},
        {QStringLiteral("xesam:artist"), QStringList{m_sound.singer}},
    };
    if (m_player->duration() > 0)
        map.insert(QStringLiteral("mpris:length"), qlonglong(m_player->duration()) * 1000);
    if (!m_coverUrl.isEmpty())
        map.insert(QStringLiteral("mpris:artUrl"), m_coverUrl);
    return map;
}

double MprisService::volume() const
{
    return m_player->volume() / 100.0;
}

void MprisService::setVolume(double volume)
{
    if (!std::isnan(volume))
        m_player->setVolume(int(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
}

qlonglong MprisService::position() const
{
    return qlonglong(m_player->position()) * 1000;
}

bool MprisService::canPlay() const
{
    return !m_player->source().isEmpty();
}

bool MprisService::canSeek() const
{
    return m_player->hasMediaObjects() && m_player->duration() > 0;
}

void MprisService::play()
{
    m_player->play();
}

void MprisService::pause()
{
    m_player->pause();
}

void MprisService::playPause()
{
    m_player->togglePlay();
}

void MprisService::stop()
{
    m_player->stop();
    tellChanges(); // seeking ends with the media objects, whatever the state was
}

bool MprisService::canGoNext() const
{
    return m_window->playListState().nextIndex().has_value();
}

bool MprisService::canGoPrevious() const
{
    return m_window->playListState().previousIndex().has_value();
}

void MprisService::next()
{
    m_window->playNext();
}

void MprisService::previous()
{
    m_window->playPrevious();
}

void MprisService::seekBy(qlonglong offset)
{
    if (!canSeek())
        return;
    const qint64 target = std::max<qint64>(0, m_player->position() + offset / 1000);
    // Past the end would go to the next sound, and there is none.
    if (target <= m_player->duration())
        m_player->seek(target);
}

void MprisService::setPosition(const QDBusObjectPath &track, qlonglong position)
{
    // A request meant for an earlier sound, or outside this one, is ignored.
    if (!canSeek() || track != trackId() || position < 0 || position / 1000 > m_player->duration())
        return;
    m_player->seek(position / 1000);
}

QVariantMap MprisService::changingProperties() const
{
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPlay()},
        {QStringLiteral("CanSeek"), canSeek()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
    };
}

void MprisService::tellChanges()
{
    if (m_serviceName.isEmpty())
        return;
    const QVariantMap now = changingProperties();
    QVariantMap changed;
    for (auto it = now.begin(); it != now.end(); ++it) {
        if (m_told.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_told = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << PlayerInterface << changed << QStringList();
    m_bus.send(signal);
}
