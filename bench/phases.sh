#!/usr/bin/env bash
# Byte to pixel by phases: runs quillterm-bench-latency with Quillterm and
# xterm + telnet, and records with `perf record` the system calls of each
# client (the wait's return, the socket read, the write to the X server) and
# the probe's sends; bench/phases.py then gives each phase's median and p90
# per round. Timestamps of system calls hardly move with the machine's load,
# unlike the probe's own figures. Needs perf and the rights to trace.
#
#   [ENV=VALUE ...] bench/phases.sh [BUILD_DIR [ROUNDS [OUT_PREFIX]]]
#       (defaults: build 200 /tmp/quillterm-phases)
# The environment reaches the clients (QT_NO_GLIB=1, QUILLTERM=path).
set -euo pipefail
build=${1:-build}
rounds=${2:-200}
out=${3:-/tmp/quillterm-phases}
here=$(dirname "$0")

child() {  # the newest child of $1 whose name is $2, waiting up to 30 s
    local pid=""
    for _ in $(seq 150); do
        pid=$(pgrep -n -P "$1" -x "$2" || true)
        [ -n "$pid" ] && break
        sleep 0.2
    done
    echo "$pid"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
xvfb-run -a -s '-screen 0 2400x1000x24' "$build/bench/quillterm-bench-latency" \
    --rounds "$rounds" --clients quillterm,xterm >"$out.probe" 2>&1 &
runner=$!
probe=$(child "$runner" quillterm-bench)
[ -n "$probe" ] || { echo "the probe did not start" >&2; exit 1; }
client=$(child "$probe" quillterm)
xterm=$(child "$probe" xterm)
telnet=$(child "$xterm" telnet)
if [ -z "$client" ] || [ -z "$telnet" ]; then
    echo "a client did not start" >&2
    exit 1
fi
sleep 3  # the probe finds the rows before its rounds start
calls=(-e syscalls:sys_exit_poll -e syscalls:sys_exit_ppoll -e syscalls:sys_exit_read
       -e syscalls:sys_enter_writev)
perf record -q "${calls[@]}" -p "$client" -o "$out.q.data" 2>/dev/null &
recorders=($!)
perf record -q -e syscalls:sys_enter_sendto -p "$probe" -o "$out.s.data" 2>/dev/null &
recorders+=($!)
perf record -q -e syscalls:sys_exit_pselect6 -e syscalls:sys_enter_recvfrom \
    -e syscalls:sys_enter_write -e syscalls:sys_exit_read -e syscalls:sys_enter_writev \
    -p "$xterm,$telnet" -o "$out.x.data" 2>/dev/null &
recorders+=($!)
wait "$runner"
kill -INT "${recorders[@]}" 2>/dev/null || true  # each also ends with its process
wait "${recorders[@]}" || true
for k in q s x; do
    perf script -i "$out.$k.data" -F comm,tid,time,event,trace >"$out.$k.txt" 2>/dev/null
done
grep -E '^(polling|client|quillterm|xterm )' "$out.probe" || true
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$here/phases.py" "$out"
