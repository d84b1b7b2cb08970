// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The player strip's drawn glyphs and its slider's style.

#include <QPixmap>
#include <QProxyStyle>

enum class Glyph { Play, Pause, Volume, Previous, Next };

QPixmap glyphPixmap(Glyph glyph, const QColor &colour);

// A click on the groove puts the handle there, as in media players,
// rather than stepping a page towards it.
class JumpToClickStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;
};
