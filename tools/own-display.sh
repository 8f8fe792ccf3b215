#!/usr/bin/env bash
# Runs a window test program on a virtual X display of its own, so that tests running in parallel
# never share windows, focus or screenshots. Xvfb picks a free display number itself (-displayfd),
# so parallel starts cannot race for one. Listing the tests needs no display.
set -u
for arg in "$@"; do
    if [ "$arg" = "--gtest_list_tests" ]; then
        exec "$@"
    fi
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/lintrado-display.XXXXXX")
# -noreset: a server resets when its last client leaves, and a program that connects during the
# reset is refused ("Unable to initialize GTK+"); tests that start the program twice hit that.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb_pid=$!
cleanup() {
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

# The display number arrives once the server accepts connections.
for _ in $(seq 1 200); do
    if [ -s "$dir/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        break
    fi
    sleep 0.05
done
if [ ! -s "$dir/display" ]; then
    echo "own-display.sh: Xvfb did not start" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
fi
DISPLAY=":$(head -n1 "$dir/display")" "$@"
