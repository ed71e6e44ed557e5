#!/usr/bin/env bash
# Sets Lineforge up on Debian 12 and then starts it or runs its tests:
#   ./setup.sh run    install what is missing, build, start the program
#   ./setup.sh test   install what is missing, build, run every test through ctest
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${LINEFORGE_BUILD_DIR:-$here/build}"
mode="${1:-run}"

packages=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev qt6-base-dev-tools libgl-dev
          libzip-dev libpugixml-dev libfontconfig-dev libssl-dev fonts-dejavu-core fonts-liberation2
          libgtest-dev libgmock-dev xvfb xauth x11-utils xdotool evilwm zip
          dpkg-dev desktop-file-utils unzip
          clang libclang-rt-14-dev zlib1g-dev libdeflate-dev
          libreoffice-writer libreoffice-dev)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_all() {
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${LINEFORGE_CMAKE_ARGS:-}
    cmake --build "$build" -j "$(nproc)"
}

case "$mode" in
    run)
        install_missing
        build_all
        exec "$build/bin/lineforge"
        ;;
    test)
        install_missing
        build_all
        cd "$build"
        ctest --output-on-failure -j "$(nproc)"
        ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac
