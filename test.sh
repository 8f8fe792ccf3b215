#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (window tests under Xvfb).
# Extra arguments go to ctest, e.g. ./test.sh -L unit  or  ./test.sh -R Event
set -euo pipefail
LINTRADO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$LINTRADO_ROOT/tools/deps.sh"
lintrado_install_deps

BUILD_DIR=${LINTRADO_BUILD_DIR:-$LINTRADO_ROOT/build}
lintrado_configure "$BUILD_DIR" "${LINTRADO_BUILD_TYPE:-RelWithDebInfo}" ${LINTRADO_CMAKE_ARGS:-}
cmake --build "$BUILD_DIR" -j "$(nproc)"

cd "$BUILD_DIR"
# One virtual display serves the whole run; unit tests simply ignore it.
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
