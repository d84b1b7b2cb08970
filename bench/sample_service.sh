# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the download benchmarks, with $bin set: makes the folder $work
# (removed on exit) and starts the sample service from $bin, which ends with
# the script; sets $host to its HOST:PORT.
work=$(mktemp -d)
service_pid=
cleanup() {
    [[ -n "$service_pid" ]] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$bin/vexa-sample-service" >"$work/service.out" 2>&1 &
service_pid=$!
for _ in $(seq 100); do
    grep -q listening "$work/service.out" && break
    sleep 0.05
done
host=$(sed -n 's|.*listening on http://||p' "$work/service.out")
[[ -n "$host" ]] || { echo "the sample service did not start" >&2; exit 1; }
