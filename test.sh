#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (window tests each on a virtual
# display of their own).
#   ./test.sh --sanitize     builds with AddressSanitizer and UBSan (into build-sanitize) and runs
#                            the suite there
# Extra arguments go to ctest, e.g. ./test.sh -L unit  or  ./test.sh -R Event
# LINTRADO_BUILD_DIR, LINTRADO_BUILD_TYPE and LINTRADO_CMAKE_ARGS change the build folder, the
# build type (RelWithDebInfo) and add CMake options.
set -euo pipefail
LINTRADO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$LINTRADO_ROOT/tools/deps.sh"
lintrado_install_deps
lintrado_install_locales

SANITIZE=0
if [ "${1:-}" = "--sanitize" ]; then
    SANITIZE=1
    shift
fi

EXTRA_CMAKE_ARGS=${LINTRADO_CMAKE_ARGS:-}
if [ "$SANITIZE" -eq 1 ]; then
    BUILD_DIR=${LINTRADO_BUILD_DIR:-$LINTRADO_ROOT/build-sanitize}
    EXTRA_CMAKE_ARGS="$EXTRA_CMAKE_ARGS -DLINTRADO_SANITIZE=ON"
    # Every report fails its test, leaks included.
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
else
    BUILD_DIR=${LINTRADO_BUILD_DIR:-$LINTRADO_ROOT/build}
fi
# shellcheck disable=SC2086 # the extra arguments are meant to split
lintrado_configure "$BUILD_DIR" "${LINTRADO_BUILD_TYPE:-RelWithDebInfo}" $EXTRA_CMAKE_ARGS
cmake --build "$BUILD_DIR" -j "$(nproc)"

cd "$BUILD_DIR"
# One virtual display serves the tests that start the whole program; window tests bring their own.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
