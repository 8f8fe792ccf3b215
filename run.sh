#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it.
# Without a display it runs under Xvfb.
set -euo pipefail
LINTRADO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$LINTRADO_ROOT/tools/deps.sh"
lintrado_install_deps

BUILD_DIR=${LINTRADO_RELEASE_DIR:-$LINTRADO_ROOT/build-release}
lintrado_configure "$BUILD_DIR" Release
cmake --build "$BUILD_DIR" -j "$(nproc)" --target lintrado copy_data

if [ -n "${DISPLAY:-}" ]; then
    exec "$BUILD_DIR/bin/lintrado" "$@"
else
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD_DIR/bin/lintrado" "$@"
fi
