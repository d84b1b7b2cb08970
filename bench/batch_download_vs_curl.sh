#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/batch_download_vs_curl.sh BIN_DIR [RUNS]: fifteen different generated
# files of 20 MiB from the sample service, three at a time, with
# `vexa-helper download --jobs 3` and with `curl --parallel --parallel-max 3`,
# the two taking turns RUNS times (default 5). Prints each run's throughput,
# the median of the per-pair ratios vexa-helper / curl and PASS when it is
# at least 0.8.
set -euo pipefail
bin=$1
runs=${2:-5}
count=15
mib=20
base=$((mib * 1024 * 1024))

source "$(dirname "$0")/sample_service.sh"

hosts=(--api-host "$host" --web-host "$host")
# A history and settings of the benchmark's own: nothing is skipped as
# already saved, and the user's are left alone.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
pages=()
urls=()
for ((k = 0; k < count; k++)); do
    # Sizes differ by a byte so that every file is a sound of its own.
    page="http://$host/sound/file-bytes-$((base + k))"
    pages+=("$page")
    urls+=("$("$bin/vexa-helper" "${hosts[@]}" info "$page" | awk '$1 == "fileUrl" { print $2 }')")
done
total_mib=$(awk -v n="$count" -v b="$base" 'BEGIN { print n * (b + (n - 1) / 2) / 1048576 }')

now() { date +%s.%N; }
check_sizes() {
    local files=("$1"/*)
    [[ ${#files[@]} == "$count" ]] || { echo "$2 saved ${#files[@]} files, not $count" >&2; exit 1; }
    local sum
    sum=$(stat -c %s "${files[@]}" | awk '{ s += $1 } END { print s }')
    [[ "$sum" == $((count * base + count * (count - 1) / 2)) ]] || { echo "$2 saved $sum bytes" >&2; exit 1; }
}

curl_args=()
for ((k = 0; k < count; k++)); do
    curl_args+=(-o "$work/curl/$k.bin" "${urls[k]}")
done

# One line per pair: vexa-helper seconds, curl seconds.
: >"$work/pairs"
for ((i = 0; i < runs; i++)); do
    rm -rf "$work/out" "$work/data" "$work/curl"
    start=$(now)
    "$bin/vexa-helper" "${hosts[@]}" download --jobs 3 --no-tags -o "$work/out" "${pages[@]}" \
        >/dev/null 2>"$work/vexa.err" || { cat "$work/vexa.err" >&2; exit 1; }
    end=$(now)
    vexa=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    check_sizes "$work/out" vexa-helper

    mkdir -p "$work/curl"
    start=$(now)
    # In parallel mode curl draws its meter even when silent; only a failure is shown.
    curl --parallel --parallel-max 3 -sS "${curl_args[@]}" 2>"$work/curl.err" || { cat "$work/curl.err" >&2; exit 1; }
    end=$(now)
    curl=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    check_sizes "$work/curl" curl
    echo "$vexa $curl" >>"$work/pairs"
done

awk -v mib="$total_mib" -v runs="$runs" -v count="$count" '
    { v[NR] = $1; c[NR] = $2; r[NR] = $2 / $1 }
    END {
        printf "%d files of 20 MiB from the sample service, 3 at a time, %d runs each, taking turns (whole command):\n", count, runs
        for (i = 1; i <= NR; i++)
            printf "  run %d: vexa-helper %.0f MiB/s, curl %.0f MiB/s, ratio %.2f\n", i, mib / v[i], mib / c[i], r[i]
        n = NR # sorted by insertion: awk here may be mawk, which has no asort
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && r[j - 1] > r[j]; j--) { t = r[j]; r[j] = r[j - 1]; r[j - 1] = t }
        median = n % 2 ? r[(n + 1) / 2] : (r[n / 2] + r[n / 2 + 1]) / 2
        printf "  median of the per-pair ratios vexa-helper / curl: %.2f (at least 0.80 wanted): %s\n", median, (median >= 0.8 ? "PASS" : "FAIL")
    }' "$work/pairs"
