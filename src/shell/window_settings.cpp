// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/window_settings.h"

#include "library/download_settings.h"
#include "shell/player_bar.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSettings>
#include <QTimer>
#include <QWidget>

namespace {

const QString Group = QStringLiteral("window");
const QString PositionKey = QStringLiteral("position");
const QString VolumeKey = QStringLiteral("volume");

constexpr std::chrono::milliseconds SaveDelay{500};

} // namespace

WindowSettings loadWindowSettings()
{
    WindowSettings settings;
    QSettings stored = openSettingsFile();
    stored.beginGroup(Group);
    const QVariant position = stored.value(PositionKey);
    if (position.canConvert<QPoint>())
        settings.position = position.toPoint();
    bool ok = false;
    const int volume = stored.value(VolumeKey).toInt(&ok);
    if (ok && volume >= 0 && volume <= 100)
        settings.volume = volume;
    return settings;
}

Expected<void, SettingFailure> saveWindowSettings(const WindowSettings &settings)
{
    QSettings stored = openSettingsFile();
    stored.beginGroup(Group);
    if (settings.position)
        stored.setValue(PositionKey, *settings.position);
    else
        stored.remove(PositionKey);
    if (settings.volume)
        stored.setValue(VolumeKey, *settings.volume);
    else
        stored.remove(VolumeKey);
    stored.endGroup();
    stored.sync();
    if (stored.status() == QSettings::NoError)
        return {};
    return unexpected(SettingProblem::Unwritable, stored.fileName());
}

bool placeIsOnScreen(const QPoint &position, const QSize &size)
{
    return QGuiApplication::screenAt(position + QPoint(size.width() / 2, 16)) != nullptr;
}

WindowSettingsKeeper::WindowSettingsKeeper(QWidget *window, PlayerBar *player)
    : QObject(window)
    , m_window(window)
    , m_player(player)
    , m_saveTimer(new QTimer(this))
    , m_saved(loadWindowSettings())
{
    if (m_saved.volume)
        m_player->setVolume(*m_saved.volume);
    m_saved.volume = m_player->volume();
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(SaveDelay);
    connect(m_saveTimer, &QTimer::timeout, this, &WindowSettingsKeeper::flush);
    connect(m_player, &PlayerBar::volumeChanged, m_saveTimer, qOverload<>(&QTimer::start));
    m_window->installEventFilter(this);
}

void WindowSettingsKeeper::place(const QPoint &fallback, const QPoint &offset)
{
    const bool restore = m_saved.position && placeIsOnScreen(*m_saved.position, m_window->size());
    m_window->move((restore ? *m_saved.position : fallback) + offset);
    // Where the window starts needs no writing; only where the user puts it.
    m_saved.position = m_window->pos();
    m_placed = true;
}

void WindowSettingsKeeper::flush()
{
    m_saveTimer->stop();
    const WindowSettings now = current();
    if (now == m_saved)
        return;
    // Taken even when unwritten: the next change tries again.
    m_saved = now;
    if (const auto saved = saveWindowSettings(now); !saved)
        emit saveFailed(saved.error());
}

bool WindowSettingsKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Move)
            m_saveTimer->start();
        else if (event->type() == QEvent::Hide)
            flush();
    }
    return QObject::eventFilter(watched, event);
}

WindowSettings WindowSettingsKeeper::current() const
{
    WindowSettings settings = m_saved;
    // A window never placed has no place worth keeping.
    if (m_placed)
        settings.position = m_window->pos();
    settings.volume = m_player->volume();
    return settings;
}
