// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Qt's and its libraries' own warnings ("Corrupt JPEG data", libpng's, an
// image reader's allocation limit) mean nothing to the user and are kept
// off the terminal unless verbose. Lines in the program's own form,
// "vexa-helper: …", pass either way. For the executable's start; tests keep
// Qt's handler.
void installMessageHandler(bool verbose);
