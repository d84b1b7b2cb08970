// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/file_failure.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The steps that keep files coherent through a power cut: data synced before
// the names that point at it, renames and removals made durable by syncing
// their folder.

// Told "CALL PATH [TARGET]" after each sync, rename and removal made here,
// as it succeeds: their order is what keeps a part and its info coherent.
// Empty (the default) tells nobody.
using PartFileTrace = std::function<void(const QString &call)>;
void setPartFileTrace(PartFileTrace trace);

// Written through to the disk; file systems that cannot sync have nothing to wait for.
Expected<void, FileFailure> syncData(int fd, const QString &path);
// The folder's entries as they are now survive a power cut.
Expected<void, FileFailure> syncFolderOf(const QString &path);
// Replaces path's content in one step: after a power cut it holds either
// the old content or the new, never an empty or partial file.
Expected<void, FileFailure> writeFileAtomically(const QString &path, const QByteArray &content);
// True when there was something to remove.
bool removeFile(const QString &path);
// Removed for good, the folder synced, before what it described changes.
void removeInfoDurably(const QString &infoPath);
// Renames without ever replacing an existing file: NameTaken, with the
// target, when something has its name.
Expected<void, FileFailure> renameNoReplace(const QString &from, const QString &to);
