#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/tagged_download.sh BIN_DIR [MIB] [RUNS]: the whole `vexa-helper
# download` of a MIB MiB MP3 (default 20) from the sample service, with tags
# and cover and with --no-tags, in turns, RUNS times each (default 41);
# prints the median of each, their ratio and the median of the runs' ratios; then the peak memory of a
# 512 MiB download, tagged and not.
set -euo pipefail
bin=$1
mib=${2:-20}
runs=${3:-41}

source "$(dirname "$0")/sample_service.sh"
page="http://$host/sound/1001-mp3-bytes-$((mib * 1024 * 1024))"
# A settings folder of its own: tags on, whatever the user's say.
export XDG_CONFIG_HOME="$work/config"

run() { # run tagged|bare [PAGE] [TIME...]: prints seconds
    local extra=()
    [[ $1 == bare ]] && extra=(--no-tags)
    rm -rf "$work/out"
    local start end
    start=$(date +%s.%N)
    "${@:3}" "$bin/vexa-helper" --api-host "$host" --web-host "$host" download "${2:-$page}" -o "$work/out" \
        "${extra[@]}" >/dev/null 2>"$work/err"
    end=$(date +%s.%N)
    if [[ $1 == tagged ]] && ! head -c 3 "$work"/out/*.mp3 | grep -q ID3; then
        echo "the tagged download has no tag" >&2
        exit 1
    fi
    echo "$end - $start" | bc
}

run tagged >/dev/null # warm: the encoder and the page cache
: >"$work/runs"
for ((i = 0; i < runs; i++)); do
    echo "bare $(run bare)" >>"$work/runs"
    echo "tagged $(run tagged)" >>"$work/runs"
done
for mode in bare tagged; do
    awk -v m="$mode" '$1 == m { print $2 }' "$work/runs" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }' \
        >"$work/$mode.median"
done
# Each tagged run against the bare run just before it: the median of these
# ratios stands up better to a machine whose speed drifts.
awk '$1 == "bare" { b = $2 } $1 == "tagged" { print $2 / b }' "$work/runs" | sort -n |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }' >"$work/pairs.median"
awk -v mib="$mib" -v runs="$runs" -v b="$(cat "$work/bare.median")" -v t="$(cat "$work/tagged.median")" \
    -v p="$(cat "$work/pairs.median")" 'BEGIN {
    printf "The whole vexa-helper download of a %d MiB MP3, median of %d runs each:\n", mib, runs
    printf "  --no-tags:             %.1f ms\n", b * 1000
    printf "  with tags and cover:   %.1f ms\n", t * 1000
    printf "  ratio tagged / bare:   %.3f (tagging adds %.1f %%)\n", t / b, (t / b - 1) * 100
    printf "  median of the ratios of each tagged run to the bare run before it: %.3f\n", p
}'
big="http://$host/sound/1001-mp3-bytes-$((512 * 1024 * 1024))"
for mode in bare tagged; do
    run "$mode" "$big" /usr/bin/time -f %M -o "$work/$mode.peak" >/dev/null
    awk -v m="$mode" '{ printf "  peak memory of a 512 MiB download, %-7s %.1f MiB\n", m ":", $1 / 1024 }' "$work/$mode.peak"
done
rm -rf "$work/out"
