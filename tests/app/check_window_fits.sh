#!/usr/bin/env bash
# Starts the program at QT_SCALE_FACTOR=2 on a virtual 1366x768 screen and checks with xwininfo
# that its whole window lies on the screen.   check_window_fits.sh PROGRAM
set -euo pipefail
command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null || { echo "SKIP: no xvfb-run/xwininfo"; exit 77; }
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 \
    xvfb-run -a -s "-screen 0 1366x768x24 -nolisten tcp" bash -c '
    "$1" >/dev/null 2>&1 & pid=$!
    for _ in $(seq 300); do
        info="$(xwininfo -name "Lineforge Suite" 2>/dev/null)" && grep -q IsViewable <<<"$info" && break
        sleep 0.1
    done
    kill "$pid"
    read -r x y w h < <(awk "/Absolute upper-left X:/ {x=\$NF} /Absolute upper-left Y:/ {y=\$NF}
        /^ *Width:/ {w=\$NF} /^ *Height:/ {h=\$NF} END {print x, y, w, h}" <<<"$info")
    echo "window at $x,$y size ${w}x${h} on a 1366x768 screen"
    [ -n "$h" ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1366 ] && [ $((y + h)) -le 768 ]
' _ "$1"
