#!/usr/bin/env bash
# Starts the built program on a virtual screen, waits, saves a picture of the whole screen and ends
# the program. Builds nothing: run ./test.sh or ./run.sh first.
#   tools/screenshot.sh [output.png] [seconds]    (defaults: screenshots/lintrado.png, 3)
set -euo pipefail
LINTRADO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUTPUT=${1:-$LINTRADO_ROOT/screenshots/lintrado.png}
SECONDS_TO_WAIT=${2:-3}

PROGRAM=""
for candidate in "$LINTRADO_ROOT/build/bin/lintrado" "$LINTRADO_ROOT/build-release/bin/lintrado"; do
    if [ -x "$candidate" ]; then
        PROGRAM=$candidate
        break
    fi
done
if [ -z "$PROGRAM" ]; then
    echo "No built program in build/bin or build-release/bin." >&2
    exit 1
fi
for tool in xvfb-run import; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing (packages xvfb and imagemagick)." >&2
        exit 1
    fi
done

mkdir -p "$(dirname "$OUTPUT")"
OUTPUT=$(cd "$(dirname "$OUTPUT")" && pwd)/$(basename "$OUTPUT")

export PROGRAM OUTPUT SECONDS_TO_WAIT
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$PROGRAM" &
    pid=$!
    sleep "$SECONDS_TO_WAIT"
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid" && rc=0 || rc=$?
        echo "The program ended (exit code $rc) before the screenshot." >&2
        exit 1
    fi
    import -window root "$OUTPUT" && rc=0 || rc=$?
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    exit $rc
'
echo "$OUTPUT"
