#!/usr/bin/env bash
# Builds one libFuzzer target with clang (ASan + UBSan) and runs it on its seeds for a while.
#   tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
# TARGET is one of fuzz_import, fuzz_srx, fuzz_convert, fuzz_memory, fuzz_xmltext. New inputs go to
# a working corpus under the build folder (the checked-in seeds in fuzz/corpus/TARGET stay as they
# are); a finding is written as crash-*/timeout-*/oom-* there and the script fails.
# LINTRADO_FUZZ_BUILD_DIR picks the build folder (default build-fuzz).
set -euo pipefail
LINTRADO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ $# -lt 2 ]; then
    echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
    exit 2
fi
TARGET=$1
SECONDS_TO_RUN=$2
shift 2
BUILD_DIR=${LINTRADO_FUZZ_BUILD_DIR:-$LINTRADO_ROOT/build-fuzz}

source "$LINTRADO_ROOT/tools/deps.sh"
lintrado_install_deps
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ lintrado_configure "$BUILD_DIR" RelWithDebInfo -DLINTRADO_FUZZ=ON -DLINTRADO_WERROR=OFF
fi
cmake --build "$BUILD_DIR" --target "$TARGET" -j "${LINTRADO_FUZZ_JOBS:-$(nproc)}"

SEEDS="$LINTRADO_ROOT/fuzz/corpus/$TARGET"
WORK="$BUILD_DIR/fuzz-work/$TARGET"
mkdir -p "$WORK/corpus" "$WORK/findings"
DICT=()
if [ "$TARGET" != fuzz_memory ]; then
    DICT=(-dict="$LINTRADO_ROOT/fuzz/xml.dict")
fi
# A leak is reported only at exit; libFuzzer's own check runs on every input and is slow here.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$WORK"
exec "$BUILD_DIR/bin/$TARGET" -max_total_time="$SECONDS_TO_RUN" -timeout=25 -rss_limit_mb=2048 -max_len=8192 \
    -artifact_prefix="$WORK/findings/" -print_final_stats=1 "${DICT[@]}" "$@" "$WORK/corpus" "$SEEDS"
