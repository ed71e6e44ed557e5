#!/usr/bin/env bash
# Installs the build tree into a fresh prefix: install_prefix.sh BUILD_DIR PREFIX
set -euo pipefail
build="$1" prefix="$2"
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix"
