#!/bin/bash
# Key-to-screen latency of the test window on a real X server (Xvfb,
# 1920x1080): runs kalvestrin-tool session over DESIGN.txt answering every
# picture with N (so every level of every task is shown) and prints the
# median, 95th percentile and maximum time from a key press to the next
# frame flushed to the screen. With "journal" as the fourth argument the
# test runs on a fresh data folder with its session journal; "no-journal"
# uses the data folder with the journal switched off (for measuring only).
# PAUSE_MS (default 0) waits between keys as a subject would.
#
#   scripts/session-latency.sh build/tools/kalvestrin-tool DESIGN.txt [KEYS [journal|no-journal]]
set -euo pipefail
tool=${1:?tool}
design=${2:?design}
keys=${3:-200}
journal=${4:-}
out=$(mktemp)
data=$(mktemp -d)
trap 'rm -rf "$out" "$data"' EXIT
extra=()
if [ -n "$journal" ]; then
    "$tool" create-database "$data/Kalvestrin.mdb" >/dev/null
    extra=(--data "$data")
    [ "$journal" = no-journal ] && extra+=(--no-journal)
fi
{
    echo "click Btn1"
    echo "click Btn2"
    for _ in $(seq 1 "$keys"); do
        [ "${PAUSE_MS:-0}" -gt 0 ] && echo "pause $PAUSE_MS"
        echo "key N"
    done
} | xvfb-run -a -s "-screen 0 1920x1080x24" "$tool" session "$design" --no-sound "${extra[@]}" -platform xcb >"$out" 2>/dev/null
awk -F'\t' '$1 == "level" { on[n] = $4; resp[n] = $5; n++ }
    END { for (i = 0; i < n - 1; i++) if (resp[i] != "-") print (on[i + 1] - resp[i]) * 1000 }' "$out" |
    sort -g |
    awk '{ a[NR] = $1 } END { printf "presentations %d  median %.2f ms  p95 %.2f ms  max %.2f ms\n", NR, a[int((NR + 1) / 2)], a[int(NR * 0.95)], a[NR] }'
