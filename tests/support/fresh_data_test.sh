#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# fresh_data_test.sh FRESH_DATA_SH: the data folder is emptied inside the
# build folder only, never one elsewhere (as the user's own would be).
fresh=$1
top=$(mktemp -d) || exit 1
trap 'rm -rf "$top"' EXIT
fails=0
# check XDG_DATA_HOME emptied|kept: with "kept" the test must not run either.
check() {
    rm -rf "$top/build" "$top/build-other" "$top/home" "$top/ran"
    mkdir -p "$top/build/data/t" "$top/build-other/data" "$top/home/data"
    touch "$top/build/data/t/old" "$top/build-other/data/keep" "$top/home/data/keep"
    ln -s "$top/home/data" "$top/build/data/link"
    XDG_DATA_HOME=$1 sh "$fresh" "$top/build" touch "$top/ran" 2>/dev/null
    if [ "$2" = emptied ]; then
        [ -e "$top/ran" ] && [ ! -e "$1" ] && [ -e "$top/home/data/keep" ]
    else
        [ ! -e "$top/ran" ] && [ -e "$top/home/data/keep" ] && [ -e "$top/build-other/data/keep" ]
    fi || {
        echo "FAIL: XDG_DATA_HOME=\"$1\" should be $2" >&2
        fails=1
    }
}
check "$top/build/data/t" emptied
check "$top/home/data" kept
check "$top/build/../home/data" kept
check "$top/build-other/data" kept
check "$top/build/data/link" kept
check "$top/build" kept
check "" kept
exit $fails
