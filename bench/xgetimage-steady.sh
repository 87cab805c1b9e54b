#!/bin/sh
# The independent XGetImage probe, unchanged, with its own Python process's
# allocator held steady:
#
#   bench/xgetimage-steady.sh [PROBE] [QUILLTERM] [RUNS]
#
# (defaults: ../shared/bench/xgetimage/latency.py, build/src/ui/quillterm, 5)
#
# Each grab reads a 77 KB reply. Early in the probe's process glibc's malloc
# still grows and trims its heap around such a reply on most grabs, so the
# first client's grabs cost more than the later clients' (see bench/README.md,
# "The probe's own allocator"). Fixed malloc thresholds keep the heap grown.
# They are set for the probe's process only: it takes them out of its
# environment before it starts the clients.
set -eu
probe=${1:-../shared/bench/xgetimage/latency.py}
# The probe starts each client in its private home: the path must be absolute.
client=$(realpath "${2:-build/src/ui/quillterm}")
runs=${3:-5}
run=1
while [ "$run" -le "$runs" ]; do
  echo "== run $run, load $(cut -d' ' -f1 /proc/loadavg)"
  GLIBC_TUNABLES=glibc.malloc.mmap_threshold=4194304:glibc.malloc.trim_threshold=67108864 \
    /usr/bin/python3 -c 'import os, runpy, sys
os.environ.pop("GLIBC_TUNABLES")
sys.argv = sys.argv[1:]
runpy.run_path(sys.argv[0], run_name="__main__")' "$probe" "$client"
  run=$((run + 1))
done
