#!/usr/bin/env bash
# Takes docs/main-window.png: starts the built program under Xvfb with a fresh settings store,
# captures the screen and trims it to the window. Needs xvfb and imagemagick.
#   docs/screenshot.sh [path/to/lineforge]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
program="$(realpath "${1:-$here/../build/bin/lineforge}")"
out="$here/main-window.png"
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 800x640x24 -dpi 96" bash -c '
    "$1" & pid=$!
    sleep 4
    import -window root "$2.full.png"
    kill "$pid"
' _ "$program" "$out"
convert "$out.full.png" -trim +repage "$out"
rm -f "$out.full.png"
echo "wrote $out"
