#!/bin/sh
# ZMODEM downloads through the whole program against sz | rz over a local
# socat pipe, in the same run:
#
#   zmodem-download.sh [BUILD_DIR] [DISPLAY_NUMBER] [MIB] [RUNS]
#
# Each run times the pipe and the program against zmodem_host.py on
# 127.0.0.1 running sz over Telnet with BINARY taken both ways, over Telnet
# with BINARY refused (CR NUL) and over raw TCP, each run in another order
# (the first of one run goes last in the next); the medians follow. Over
# Telnet the program is the BBS terminal. The program runs under its own
# Xvfb, and the Receive Files dialog is answered with xdotool; its time runs
# from that answer to the file's last byte on disk, and every file is
# compared with the one sent. Then, over Telnet with BINARY, one download has
# its progress dialog watched (quillterm-bench-repaint: the longest time
# between two changes of its pixels), and one is cancelled a third of the
# way with the dialog's Escape (Cancel): the time until the program's rz and
# the host's sz have both ended.
set -eu
build=${1:-build}
display=${2:-74}
mib=${3:-100}
runs=${4:-3}
here=$(cd "$(dirname "$0")" && pwd)
port=$((17000 + display))
work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

bytes=$((mib * 1024 * 1024))
head -c "$bytes" /dev/urandom > "$work/file.bin"
now() { date +%s.%N; }
minus() { echo "$1 - $2" | bc; }
export DISPLAY=":$display"

# Each run sets $took.
pipe_run() {
    rm -rf "$work/pipe" && mkdir "$work/pipe"
    start=$(now)
    (cd "$work/pipe" && socat EXEC:"sz -b -q ../file.bin" EXEC:"rz -b -q -E -R -R")
    took=$(minus "$(now)" "$start")
    cmp -s "$work/file.bin" "$work/pipe/file.bin" || { echo "the piped file differs" >&2; exit 1; }
}

# Starts the host (MODE) and the program, answers Receive Files; sets
# $host, $program and $start.
begin_download() {
    rm -rf "${work:?}/home" "$work/config" "$work/ended"
    mkdir -p "$work/home/Downloads" "$work/config/Brannock"
    python3 "$here/zmodem_host.py" "$port" "$1" "$work/file.bin" "$work/ended" &
    host=$!
    pids="$pids $host"
    raw=""
    if [ "$1" = raw ]; then raw="--raw"; else printf '[settings]\nbbs=1\n' > "$work/config/Brannock/Quillterm.conf"; fi
    for _ in $(seq 1 200); do
        ss -ltn "sport = :$port" | grep -q LISTEN && break
        sleep 0.05
    done
    HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
        "$build/src/ui/quillterm" $raw 127.0.0.1 "$port" >/dev/null 2>&1 &
    program=$!
    pids="$pids $program"
    dialog=$(find_window "Receive Files")
    xdotool windowfocus --sync "$dialog" key Return
    start=$(now)
}

find_window() {
    for _ in $(seq 1 200); do
        found=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$found" ] && { echo "$found"; return; }
        sleep 0.05
    done
    echo "no $1 window" >&2
    exit 1
}

received() { stat -c %s "$work/home/Downloads/file.bin" 2>/dev/null || echo 0; }

wait_for_size() {
    for _ in $(seq 1 30000); do
        [ "$(received)" -ge "$1" ] && return
        sleep 0.02
    done
    echo "the download stalled at $(received) bytes" >&2
    exit 1
}

end_download() {
    kill "$program" "$host" 2>/dev/null || true
    wait "$program" "$host" 2>/dev/null || true
}

program_run() {
    begin_download "$1"
    wait_for_size "$bytes"
    took=$(minus "$(now)" "$start")
    cmp -s "$work/file.bin" "$work/home/Downloads/file.bin" || { echo "the file differs ($1)" >&2; exit 1; }
    end_download
}

median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
rate() { echo "scale=1; $mib / $1" | bc; }
ratio() { echo "scale=2; $1 / $2" | bc; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
Xvfb ":$display" -screen 0 1600x1000x24 >/dev/null 2>&1 & pids="$pids $!"
sleep 1
: > "$work/times"
# The four take turns at going first, so that none always follows the same.
order="pipe binary nonbinary raw"
for run in $(seq 1 "$runs"); do
    for mode in $order; do
        case $mode in
            pipe) pipe_run && pipe=$took ;;
            binary) program_run binary && binary=$took ;;
            nonbinary) program_run nonbinary && nonbinary=$took ;;
            raw) program_run raw && rawtcp=$took ;;
        esac
    done
    order="${order#* } ${order%% *}"
    echo "$pipe $binary $nonbinary $rawtcp" >> "$work/times"
    echo "run $run, $mib MiB in s: sz | rz $pipe, Telnet BINARY $binary, Telnet CR NUL $nonbinary," \
         "raw TCP $rawtcp (load $(cut -d' ' -f1 /proc/loadavg))"
done
for column in 1 2 3 4; do
    eval "m$column=$(cut -d' ' -f$column "$work/times" | median)"
done
# shellcheck disable=SC2154 # set by the eval above
echo "median of $runs, MiB/s (of sz | rz): sz | rz $(rate "$m1")," \
     "Telnet BINARY $(rate "$m2") ($(ratio "$m1" "$m2")), Telnet CR NUL $(rate "$m3") ($(ratio "$m1" "$m3"))," \
     "raw TCP $(rate "$m4") ($(ratio "$m1" "$m4"))"

# The progress dialog during a whole download.
begin_download binary
progress=$(find_window "ZMODEM Transfer")
"$build/bench/quillterm-bench-repaint" "$progress" 10 > "$work/repaint" &
watcher=$!
wait_for_size "$bytes"
wait "$watcher"
echo "progress dialog, Telnet BINARY: $(cat "$work/repaint")"
end_download

# Cancel a third of the way.
begin_download binary
progress=$(find_window "ZMODEM Transfer")
wait_for_size $((bytes / 3))
xdotool windowfocus --sync "$progress"
cancelled=$(now)
xdotool key Escape
child=""
for _ in $(seq 1 1000); do
    [ -z "$child" ] && ! pgrep -P "$program" -x rz >/dev/null && child=$(minus "$(now)" "$cancelled")
    [ -n "$child" ] && [ -s "$work/ended" ] && break
    sleep 0.01
done
[ -s "$work/ended" ] || { echo "the host's sz did not end" >&2; exit 1; }
echo "Cancel at $(received) bytes: the program's rz ended after ${child:-?} s," \
     "the host's sz after $(minus "$(cat "$work/ended")" "$cancelled") s"
end_download
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
