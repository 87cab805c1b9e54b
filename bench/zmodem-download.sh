#!/bin/sh
# A ZMODEM download through the whole program against sz | rz over a local
# socat pipe, in the same run: zmodem-download.sh [BUILD_DIR] [DISPLAY_NUMBER] [MIB]
# The host is socat on 127.0.0.1 running sz (raw TCP); the program runs under
# its own Xvfb, and the Receive Files dialog is answered with xdotool. The
# program's time runs from that answer to the file's last byte on disk.
set -eu
build=${1:-build}
display=${2:-74}
mib=${3:-100}
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

mkdir "$work/pipe"
start=$(now)
(cd "$work/pipe" && socat EXEC:"sz -b -q ../file.bin" EXEC:"rz -b -q -E -R -R")
pipe=$(echo "$(now) - $start" | bc)

cat > "$work/host.sh" <<HOST
#!/bin/sh
sz -b -q "$work/file.bin"
sleep 600
HOST
chmod +x "$work/host.sh"
mkdir -p "$work/home/Downloads" "$work/config"
Xvfb ":$display" -screen 0 1600x1000x24 >/dev/null 2>&1 & pids="$pids $!"
socat "TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr" "EXEC:$work/host.sh" & pids="$pids $!"
sleep 1
HOME="$work/home" XDG_CONFIG_HOME="$work/config" DISPLAY=":$display" \
    "$build/src/ui/quillterm" --raw 127.0.0.1 "$port" >/dev/null 2>&1 & pids="$pids $!"
dialog=""
for _ in $(seq 1 100); do
    dialog=$(DISPLAY=":$display" xdotool search --name "Receive Files" 2>/dev/null || true)
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || { echo "no Receive Files dialog" >&2; exit 1; }
DISPLAY=":$display" xdotool windowfocus --sync "$dialog" key Return
start=$(now)
received="$work/home/Downloads/file.bin"
for _ in $(seq 1 6000); do
    [ "$(stat -c %s "$received" 2>/dev/null || echo 0)" = "$bytes" ] && break
    sleep 0.02
done
program=$(echo "$(now) - $start" | bc)
cmp -s "$work/file.bin" "$received" || { echo "the file differs" >&2; exit 1; }
echo "$mib MiB: sz | rz $pipe s, program $program s," \
     "ratio $(echo "scale=2; $pipe / $program" | bc)"
