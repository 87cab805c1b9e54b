# shellcheck shell=bash
# Shared by scripts/run and scripts/play, which source it from the top of the
# repository: build the programs, start the loopback demo host, open the
# window on it and stop the host again when the script ends.

script_name="scripts/$(basename "$0")"

# Installs what is missing and builds into $build (QUILL_BUILD_DIR, build/
# by default) everything `cmake --install` installs: the three programs and
# the compressed manual pages and changelog, but no tests.
build_programs() {
    bash scripts/bootstrap
    build=${QUILL_BUILD_DIR:-build}
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)" \
        --target quillterm quillterm-replay quillterm-demo-host quillterm-docs
}

require_display() {
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "$script_name: no display; run it in a desktop session (or under xvfb-run)" >&2
        exit 1
    fi
}

# Starts the demo host on a free port with the given options and sets
# demo_port once it listens; the host is stopped when the script exits.
start_demo_host() {
    demo_banner=$(mktemp)
    "$build/tools/demo_host/quillterm-demo-host" "$@" 0 >"$demo_banner" &
    demo_host_pid=$!
    trap 'kill "$demo_host_pid" 2>/dev/null || true; wait "$demo_host_pid" 2>/dev/null || true; rm -f "$demo_banner"' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP

    # Its first line is "... listening on 127.0.0.1 port N".
    demo_port=""
    for _ in $(seq 50); do
        demo_port=$(awk '/listening on/ { print $NF; exit }' "$demo_banner")
        [ -n "$demo_port" ] && break
        kill -0 "$demo_host_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$demo_port" ]; then
        echo "$script_name: the demo host did not start" >&2
        exit 1
    fi
}

# Runs quillterm on the demo host and exits with its status when the window
# closes.
open_window_on_demo_host() {
    local status=0
    "$build/src/ui/quillterm" 127.0.0.1 "$demo_port" || status=$?
    exit "$status"
}
