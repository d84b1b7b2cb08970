#pragma once

#include <QUrl>

// The media framework's source element for sounds fetched by SoundStream:
// the player reads the program's own StreamBuffer through it, so the media
// framework never opens a network connection of its own.

// Registers the element once per process; false when the media framework
// cannot be started.
bool registerStreamSource();

// The address that makes the player read the buffer registered under id.
QUrl streamSourceUrl(quint64 bufferId);
