#!/usr/bin/env bash
# Installs the Debian packages the project needs, and only those that are missing.
# Sourced by run.sh and test.sh.
LINTRADO_PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache python3
    libwxgtk3.2-dev libxerces-c-dev libcurl4-openssl-dev libboost-regex-dev libicu-dev liblua5.4-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth imagemagick x11-apps libxml2-utils xdotool openbox
    locales
    clang libclang-rt-14-dev
)

# Compiler caching across checkouts: paths below the checkout are hashed relative to it, and the
# build folder is left out of the hash, so a fresh clone of the same sources (CI) reuses the objects
# an earlier build made. Debug information then names the first checkout's build folder.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

lintrado_install_deps() {
    local missing=()
    local p
    for p in "${LINTRADO_PACKAGES[@]}"; do
        if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The tests read and write numbers under a decimal-comma locale too; without it those rows are
# skipped. localedef makes just this one locale (locale-gen would rebuild every listed one).
lintrado_install_locales() {
    if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        return 0
    fi
    echo "Generating the de_DE.UTF-8 locale"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

lintrado_configure() {
    local build_dir=$1 build_type=$2
    shift 2
    cmake -S "$LINTRADO_ROOT" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "$@"
}
