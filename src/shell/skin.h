#pragma once

#include <QString>

// "1.she" in the executable's folder.
QString SkinPath();

// The skin file's text: a Qt style sheet. Empty when the file is missing,
// unreadable, not UTF-8 text or implausibly large.
QString ReadSkin(const QString &path);

// Gives the whole application the skin at path. A missing or unreadable
// file is ignored and leaves the current look; returns whether one was applied.
bool ApplySkin(const QString &path);
