#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# fresh_data.sh COMMAND...: runs a test with an empty data folder, so a
# download history left by an earlier run cannot change what it sees.
rm -rf "$XDG_DATA_HOME"
exec "$@"
