// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"

#include <QString>

// A naming template for saved sound files: literal text with {field}s, "/"
// between subfolders. Fields: {singer} {name} {id} {date} {ext} {shortname}
// {shortsinger}.
inline const QString DefaultNameTemplate = QStringLiteral("{singer} - {name}");

// The values a sound's record gives the fields; callers fill them.
struct NameFields
{
    QString singer;
    QString name;
    QString id;
    QString publishTime; // "yyyy-MM-dd" with or without a time after it
    QString shortName;
    QString shortSinger;
    QString fileUrl; // gives the extension
};

// Why a template cannot name files.
enum class TemplateProblem {
    Empty,
    UnclosedBrace,
    UnknownField, // the field's name in detail
    NoFileName,   // nothing of the last part is left once made safe
};
using TemplateFailure = Failure<TemplateProblem>;
QString templateProblemText(const TemplateFailure &failure);

Expected<void, TemplateFailure> checkNameTemplate(const QString &pattern);

// The relative path the template gives these values: every part made safe
// as a file name, empty parts left out, the extension added after the last
// part unless the template places {ext}. Text between two fields goes with
// an empty one, so "{singer} - {name}" names exactly as soundFileName does.
// A relative path ("singer/name.mp3").
Expected<QString, TemplateFailure> templatedFileName(const QString &pattern, const NameFields &fields);
