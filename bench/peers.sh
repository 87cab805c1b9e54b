#!/usr/bin/env bash
# Quillterm against its peers, `xterm -e telnet` and `putty -telnet`, under
# one virtual display: the byte-to-pixel latency, then the end-to-end
# throughput of the same streams. The peers are installed by hand
# (apt-get install xterm putty telnet); a missing one is skipped.
#
#   bench/peers.sh [BUILD_DIR [ROUNDS [MiB]]]      (defaults: build 200 8)
set -euo pipefail
build=${1:-build}
rounds=${2:-200}
mib=${3:-8}
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
# shellcheck disable=SC2016 # the inner shell expands its own arguments
xvfb-run -a -s '-screen 0 2400x1000x24' sh -c '
  "$1/bench/quillterm-bench-latency" --rounds "$2" &&
  "$1/bench/quillterm-bench-e2e" --clients quillterm,xterm,putty "$3"' peers "$build" "$rounds" "$mib"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
