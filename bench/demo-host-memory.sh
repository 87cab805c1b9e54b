#!/usr/bin/env bash
# The demo host's peak resident memory while it plays a 32 MiB log with its
# timing file (256 KiB) to one client: it reads both as it sends them, so the
# peak stays far below their size (about 3 MiB on Debian 12; the log is sparse
# and costs no disk).
#
#   bench/demo-host-memory.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'kill "$host" 2>/dev/null || true; rm -rf "$work"' EXIT
size=$((32 << 20))
truncate -s "$size" "$work/large.log"
awk -v n=$((size / 1024)) 'BEGIN { for (i = 0; i < n; i++) print "0 1024" }' > "$work/large.timing"
"$build/tools/demo_host/quillterm-demo-host" --play "$work/large.log" \
  --timing "$work/large.timing" 0 > "$work/port" &
host=$!
for _ in $(seq 100); do grep -q port "$work/port" && break; sleep 0.1; done
port=$(sed -n 's/.* port \([0-9]*\)$/\1/p' "$work/port" | head -1)
exec 3<>"/dev/tcp/127.0.0.1/$port"  # the host keeps it open after the last byte
received=$(head -c "$size" <&3 | wc -c)
exec 3<&-
echo "bytes received: $received of $size"
echo "peak resident: $(awk '/^VmHWM:/ { print $2, $3 }' "/proc/$host/status")"
