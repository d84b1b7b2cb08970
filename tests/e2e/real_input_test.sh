#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# real_input_test.sh VEXA_HELPER: runs the built program with --demo on a
# virtual X display and uses it as a person would, with real mouse clicks
# (xdotool) and the real clipboard (xclip): paste an address into the box,
# 分析, 复制地址, 下载音乐, then choose a sound in the hot list. A control that
# another one covers fails here as it fails the user.
#
# The program is read only from outside: what it puts on the clipboard (the
# cover address after an analysis, the file address after 复制地址), the
# file it saves, and its windows' titles. Expected values come from the
# same sample service through the command line and curl.
set -euo pipefail
program=$(realpath "$1")
# The window names below are matched as UTF-8.
export LC_ALL=C.UTF-8

# Window-relative centres of the controls, from the main window's layout
# (791×446) and the hot list's (624 wide, its list ending 7 px above the
# bottom edge).
address_box=(152 145)
analyse_button=(332 144)
copy_button=(252 340)
download_button=(332 340)
hot_list_link=(604 22)
refresh_button=(28 28)
last_row_from_bottom=15
row_x=150

work=$(mktemp -d)
pids=()
cleanup() {
    local pid tries
    # The program first: its sample service ends with it.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill "$pid" 2>/dev/null || continue
        for ((tries = 0; tries < 50; tries++)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        { wait "$pid"; } 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    if [[ -s $work/program.log ]]; then
        echo "--- the program's output:" >&2
        cat "$work/program.log" >&2
    fi
    exit 1
}
ok() { echo "ok: $*"; }

for tool in Xvfb xdotool xclip curl; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/debian-packages.txt lists it)"
done

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; false once
# SECONDS have passed. A program that has ended fails the test at once.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        if [[ -n ${program_pid:-} ]] && ! kill -0 "$program_pid" 2>/dev/null; then
            fail "the program ended while waiting for: $*"
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Bounded: a program that hangs must not hang the test.
clipboard() { timeout 5 xclip -o -selection clipboard 2>/dev/null || true; }
clipboard_is() { [[ $(clipboard) == "$1" ]]; }
set_clipboard() { printf '%s' "$1" | xclip -i -selection clipboard >/dev/null 2>&1; }

# click WINDOW X Y [COUNT]: clicks at a point of WINDOW, COUNT times in a row.
click() {
    local -a at
    mapfile -t at < <(xdotool getwindowgeometry --shell "$1" | sed -n 's/^[XY]=//p')
    xdotool mousemove --sync $((at[0] + $2)) $((at[1] + $3)) click --repeat "${4:-1}" --delay 80 1
}

window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n $(window_named "$1") ]]; }
no_message_box() { ! has_window "Quorlen软件"; }

# The record the program's command line reads for PAGE from the same service.
record_field() { sed -n "s/^ *\"$2\": \"\\(.*\\)\",\\{0,1\\}\$/\\1/p" <<<"$1"; }
info_json() { "$program" info "$1" --json --web-host "$host" --api-host "$host" --update-host "$host"; }

# A display of our own; Xvfb writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_until 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

# Settings, downloads, history and window place of this run only, so the
# window opens centred and saves where we look; a window socket of its own.
mkdir -p "$work/config" "$work/data" "$work/cache" "$work/runtime" "$work/downloads"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime
export VEXA_HELPER_INSTANCE_SOCKET=$work/runtime/instance.socket
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
"$program" config folder "$work/downloads" >/dev/null || fail "setup: config folder"
# Untagged, so the saved file must equal the served one byte for byte.
"$program" config tags false >/dev/null || fail "setup: config tags"

# Made first, so that it is there before the program in the background opens it.
: >"$work/program.log"
"$program" --demo --lang zh_CN >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
service_address() { [[ $(<"$work/program.log") =~ (http://127\.0\.0\.1:[0-9]+) ]] && echo "${BASH_REMATCH[1]}"; }
wait_until 20 service_address >/dev/null || fail "step start: the demo service did not tell its address"
base=$(service_address)
host=${base#http://}
wait_until 20 has_window "Vexa辅助" || fail "step start: no main window (Vexa辅助) appeared"
main=$(window_named "Vexa辅助")
ok "main window $main up, sample service at $base"

pasted=$base/sound/1002
pasted_record=$(info_json "$pasted") || fail "setup: info $pasted"
pasted_cover=$(record_field "$pasted_record" coverUrl)
pasted_file=$(record_field "$pasted_record" fileUrl)
[[ -n $pasted_cover && -n $pasted_file ]] || fail "setup: no record for $pasted: $pasted_record"

# Paste and 分析. The box is enabled only once the version check is through,
# which the screen does not tell us, so the pair of clicks is repeated until
# an analysis puts the sound's cover address on the clipboard.
set_clipboard "$pasted"
analysed() {
    local deadline=$((SECONDS + 3))
    click "$main" "${address_box[@]}" 2
    click "$main" "${analyse_button[@]}"
    until clipboard_is "$pasted_cover"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
wait_until 20 analysed ||
    fail "step 分析: double-clicking the address box and clicking 分析 did not analyse $pasted" \
         "(the clipboard holds '$(clipboard)', not the cover address $pasted_cover)"
ok "分析 analysed the pasted address (cover address on the clipboard)"

click "$main" "${copy_button[@]}"
wait_until 20 clipboard_is "$pasted_file" ||
    fail "step 复制地址: the clipboard holds '$(clipboard)', not the file address $pasted_file"
ok "复制地址 put the file address on the clipboard"

click "$main" "${download_button[@]}"
ext=${pasted_file##*.}
saved=$work/downloads/$(record_field "$pasted_record" singer)\ -\ $(record_field "$pasted_record" soundName).$ext
wait_until 20 test -f "$saved" ||
    fail "step 下载音乐: no file '${saved##*/}' in the download folder (it has: $(ls "$work/downloads"))"
curl -fsS --noproxy '*' -o "$work/served" "$pasted_file" || fail "setup: curl could not fetch $pasted_file"
cmp -s "$saved" "$work/served" || fail "step 下载音乐: the saved file differs from the served one"
ok "下载音乐 saved '${saved##*/}' ($(stat -c %s "$saved") bytes, as served)"

# The hot list's last row, as the command line lists the same page.
chosen=$("$program" hot --json --web-host "$host" | grep -o '"link": "[^"]*"' | tail -n 1 | cut -d '"' -f 4) ||
    fail "setup: hot"
chosen_record=$(info_json "$chosen") || fail "setup: info $chosen"
chosen_cover=$(record_field "$chosen_record" coverUrl)
chosen_file=$(record_field "$chosen_record" fileUrl)
[[ -n $chosen_cover && $chosen_file != "$pasted_file" ]] ||
    fail "setup: the hot list's last row ($chosen) must be another sound than $pasted"

click "$main" "${hot_list_link[@]}"
wait_until 20 has_window "Vexa热榜" || fail "step hot list: clicking Vexa热门推荐 opened no hot list (Vexa热榜)"
hot=$(window_named "Vexa热榜")
ok "Vexa热门推荐 opened the hot list"
click "$hot" "${refresh_button[@]}"

# Rows show once the refresh is in, which the screen does not tell us
# either: a double-click on a list still empty is answered with a message
# box, which is closed before the next try.
chose_row() {
    local deadline=$((SECONDS + 3)) height box
    height=$(xdotool getwindowgeometry --shell "$hot" | sed -n 's/^HEIGHT=//p')
    click "$hot" "$row_x" $((height - last_row_from_bottom)) 2
    until clipboard_is "$chosen_cover"; do
        box=$(window_named "Quorlen软件")
        if [[ -n $box ]]; then
            xdotool windowfocus --sync "$box" key Return
            wait_until 10 no_message_box || fail "step hot list: its message box did not close"
            click "$hot" "${refresh_button[@]}"
            return 1
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
wait_until 20 chose_row || fail "step hot list: double-clicking its last row did not analyse $chosen in the main window"
ok "double-clicking the hot list's last row analysed it in the main window"

click "$main" "${copy_button[@]}"
wait_until 20 clipboard_is "$chosen_file" ||
    fail "step 复制地址 after the hot list: the clipboard holds '$(clipboard)', not $chosen_file"
ok "复制地址 then gave the chosen sound's file address"
