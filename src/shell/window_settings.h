// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_settings.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <optional>

class PlayerBar;
class QSize;
class QTimer;
class QWidget;

// The main window's place and the player's volume, kept between runs in the
// settings file beside the download settings.
struct WindowSettings
{
    std::optional<QPoint> position;
    std::optional<int> volume; // 0 to 100

    bool operator==(const WindowSettings &other) const = default;
};

WindowSettings loadWindowSettings();

Expected<void, SettingFailure> saveWindowSettings(const WindowSettings &settings);

// Whether a window of this size at this place can still be seen and dragged:
// the middle of its title strip lies on some screen.
bool placeIsOnScreen(const QPoint &position, const QSize &size);

// Gives the window and its player what the last run left and keeps what the
// user changes. A change is written shortly after it, as a drag moves the
// window many times, and at once when the window hides: the close link hides
// every window and ends the program, with no close event.
class WindowSettingsKeeper : public QObject
{
    Q_OBJECT

public:
    // Sets the player's stored volume at once.
    WindowSettingsKeeper(QWidget *window, PlayerBar *player);

    // Moves the window to its stored place, or to fallback when there is none
    // or it lies off every screen; shifted by offset.
    void place(const QPoint &fallback, const QPoint &offset = {});

    // Writes a change still waiting.
    void flush();

signals:
    void saveFailed(const SettingFailure &why);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WindowSettings current() const;

    QWidget *m_window;
    PlayerBar *m_player;
    QTimer *m_saveTimer;
    WindowSettings m_saved; // what the file holds, or what needs no writing
    bool m_placed = false;
};
