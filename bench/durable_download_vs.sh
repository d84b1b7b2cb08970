#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/durable_download_vs.sh BASELINE CANDIDATE [ROUNDS] [MIB]: two builds of
# bench_durable_download (say, before and after a change to how parts are
# written) run in turns, five downloads of MIB MiB (default 20) each turn,
# ROUNDS turns (default 40). Turns keep a busy moment of the machine from
# falling on one side only; the median of the per-turn ratios is the figure.
set -euo pipefail
baseline=$1
candidate=$2
rounds=${3:-40}
mib=${4:-20}

median_ms() { "$1" "$mib" 5 2>/dev/null | sed -E 's/.*median ([0-9.]+) ms.*/\1/'; }

for ((i = 0; i < rounds; i++)); do
    # Each goes first every other turn: the second of a pair runs on a warmer, fuller disk.
    if ((i % 2)); then
        c=$(median_ms "$candidate")
        b=$(median_ms "$baseline")
    else
        b=$(median_ms "$baseline")
        c=$(median_ms "$candidate")
    fi
    echo "$b $c"
done | awk -v mib="$mib" '
    { a[NR] = $1; b[NR] = $2; r[NR] = $2 / $1 }
    function median(v, n,    i, j, t) {
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    END {
        n = NR
        printf "Continuable %d MiB download, %d turns of 5: baseline %.2f ms, candidate %.2f ms (medians)\n",
            mib, n, median(a, n), median(b, n)
        printf "  candidate / baseline, median of the turns: %.4f\n", median(r, n)
    }'
