#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/download_vs_curl.sh BIN_DIR [MIB] [RUNS]: downloads a generated body
# of MIB MiB (default 512) from the sample service with `vexa-helper download`
# and with curl, RUNS times each (default 3), and prints the best throughput
# of each, their ratio and the peak resident memory of both.
set -euo pipefail
bin=$1
mib=${2:-512}
runs=${3:-3}
bytes=$((mib * 1024 * 1024))

source "$(dirname "$0")/sample_service.sh"

page="http://$host/sound/file-bytes-$bytes"
hosts=(--api-host "$host" --web-host "$host")
file_url=$("$bin/vexa-helper" "${hosts[@]}" info "$page" | awk '$1 == "fileUrl" { print $2 }')

now() { date +%s.%N; }
peak_kib() { awk -F': ' '/Maximum resident set size/ { print $2 }' "$1"; }

# One line per run: tool, seconds, peak KiB.
: >"$work/runs"
for ((i = 0; i < runs; i++)); do
    rm -rf "$work/out"
    start=$(now)
    /usr/bin/time -v -o "$work/vexa.time" "$bin/vexa-helper" "${hosts[@]}" download "$page" -o "$work/out" \
        >/dev/null 2>"$work/vexa.err"
    end=$(now)
    saved=$(stat -c %s "$work"/out/*.mp3)
    [[ "$saved" == "$bytes" ]] || { echo "vexa-helper saved $saved bytes, not $bytes" >&2; exit 1; }
    echo "vexa $start $end $(peak_kib "$work/vexa.time")" >>"$work/runs"
    rm -rf "$work/out"

    start=$(now)
    /usr/bin/time -v -o "$work/curl.time" curl -sS -o "$work/curl.bin" "$file_url"
    end=$(now)
    echo "curl $start $end $(peak_kib "$work/curl.time")" >>"$work/runs"
    rm -f "$work/curl.bin"
done

awk -v mib="$mib" -v runs="$runs" '
    { t = $3 - $2; if (!($1 in best) || t < best[$1]) best[$1] = t; if ($4 > peak[$1]) peak[$1] = $4 }
    END {
        printf "Download of %d MiB from the sample service, best of %d runs (whole command, start-up included):\n", mib, runs
        printf "  vexa-helper download: %.2f s, %.0f MiB/s, peak memory %.1f MiB\n", best["vexa"], mib / best["vexa"], peak["vexa"] / 1024
        printf "  curl:                 %.2f s, %.0f MiB/s, peak memory %.1f MiB\n", best["curl"], mib / best["curl"], peak["curl"] / 1024
        printf "  throughput ratio vexa-helper / curl: %.2f\n", best["curl"] / best["vexa"]
    }' "$work/runs"
