#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# info_vs_curl.sh BIN [RUNS]: the whole `vexa-helper info` process against a
# curl of the same sound-info answer from the sample service, in turns;
# prints the medians and their ratio (want <= 1.5).
set -euo pipefail
bin=$1
runs=${2:-21}
source "$(dirname "$0")/sample_service.sh"

page="http://$host/sound/1001"
answer="http://$host/sound/info?sound_id=1001"
ms() { local start end; start=$(date +%s%N); "$@" >/dev/null 2>&1; end=$(date +%s%N); echo $(((end - start) / 1000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] / 1000 }'; }
# One of each first: cold file caches are not what is measured.
"$bin/vexa-helper" info --api-host "$host" --web-host "$host" "$page" >/dev/null
curl -s "$answer" >/dev/null
for _ in $(seq "$runs"); do
    ms "$bin/vexa-helper" info --api-host "$host" --web-host "$host" "$page" >>"$work/helper"
    ms curl -s "$answer" >>"$work/curl"
done
helper=$(median <"$work/helper")
curl=$(median <"$work/curl")
libraries=$(LD_TRACE_LOADED_OBJECTS=1 "$bin/vexa-helper" | wc -l)
printf 'vexa-helper info: %.1f ms, curl: %.1f ms (medians of %d), %d shared libraries\n' "$helper" "$curl" "$runs" "$libraries"
awk -v h="$helper" -v c="$curl" 'BEGIN { printf "command-line ratio %.2f (want <= 1.5)\n", h / c }'
