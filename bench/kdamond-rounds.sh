#!/usr/bin/env bash
# The independent XGetImage probe, unchanged, under `perf record -a`: each
# client's rounds split by whether the kernel's DAMON thread (kdamond) ran in
# the 150 ms before the probe's send, and in each part the median time from
# the client's first switch-in after the send (Quillterm; telnet for xterm
# and telnet) to its first write to the X server. Needs perf and the rights
# to trace the whole system; on a machine without DAMON every round falls in
# the second part.
#
#   bench/kdamond-rounds.sh [PROBE [QUILLTERM [ROUNDS [OUT_PREFIX]]]]
#       (defaults: ../shared/bench/xgetimage/latency.py build/src/ui/quillterm
#        100 /tmp/quillterm-kdamond)
set -euo pipefail
probe=${1:-../shared/bench/xgetimage/latency.py}
# The probe starts each client in its private home: the path must be absolute.
client=$(realpath "${2:-build/src/ui/quillterm}")
rounds=${3:-100}
out=${4:-/tmp/quillterm-kdamond}
here=$(dirname "$0")
events=(-e sched:sched_switch)
for call in sys_enter_sendto sys_enter_writev; do
    events+=(-e "syscalls:$call" --exclude-perf)
done
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
LATENCY_ROUNDS=$rounds perf record -q -a -k CLOCK_MONOTONIC "${events[@]}" -o "$out.data" -- \
    /usr/bin/python3 "$probe" "$client"
perf script -i "$out.data" -F comm,cpu,time,event,trace >"$out.txt" 2>/dev/null
python3 "$here/kdamond_rounds.py" "$out.txt"
