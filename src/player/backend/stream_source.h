// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QUrl>

#include <memory>

class SoundReader;

// The media framework's source element for the program's own sounds: the
// player reads a SoundReader through it, so the media framework never opens
// a network connection of its own.

// Registers the element once per process; false when the media framework
// cannot be started.
bool registerStreamSource();

// Keeps reader under a number until it is released, so that an address
// can name it; the element keeps what it has taken.
quint64 holdSoundReader(std::shared_ptr<SoundReader> reader);
void releaseSoundReader(quint64 id);

// The address that makes the player read the reader held under id.
QUrl streamSourceUrl(quint64 id);
