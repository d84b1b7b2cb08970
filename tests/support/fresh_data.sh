#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# fresh_data.sh BUILD_DIR COMMAND...: runs a test with an empty data folder, so a
# download history left by an earlier run cannot change what it sees. Only a
# data folder inside BUILD_DIR is emptied: run by hand with the user's own
# XDG_DATA_HOME, it refuses rather than delete the user's data.
build=$(realpath -m -- "$1") || exit 2
shift
data=${XDG_DATA_HOME:+$(realpath -m -- "$XDG_DATA_HOME")}
case "$data" in
"$build"/?*) ;;
*)
    echo "fresh_data.sh: not emptying XDG_DATA_HOME \"$XDG_DATA_HOME\": it is not inside the build folder $build" >&2
    exit 2
    ;;
esac
rm -rf -- "$data"
exec "$@"
