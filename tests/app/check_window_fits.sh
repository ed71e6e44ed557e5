#!/usr/bin/env bash
# Starts the program on a virtual 1366x768 screen and reads its window's place with xwininfo:
# at QT_SCALE_FACTOR=2 the whole window must lie on the screen; at the usual scale it must have
# exactly its designed size (536x515).
#   check_window_fits.sh PROGRAM
set -euo pipefail
program="$1"
for tool in Xvfb xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -screen 0 1366x768x24 -nolisten tcp -displayfd 3 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
display=":$(head -n1 "$work/display")"

# Prints "x y width height" of the program's window once it is shown.
window_of() {
    local info
    for _ in $(seq 300); do
        if info="$(xwininfo -display "$display" -name "Lineforge Suite" 2>/dev/null)" &&
            grep -q "Map State: IsViewable" <<<"$info"; then
            awk '/Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
                 /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}' <<<"$info"
            return 0
        fi
        kill -0 "$program_pid" 2>/dev/null || { echo "program ended" >&2; return 1; }
        sleep 0.1
    done
    return 1
}

start() {
    env -u WAYLAND_DISPLAY HOME="$work" XDG_CONFIG_HOME="$work/config" DISPLAY="$display" \
        QT_QPA_PLATFORM=xcb "$@" "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
}

stop() {
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
}

status=0

start QT_SCALE_FACTOR=2
if read -r x y w h < <(window_of); then
    echo "QT_SCALE_FACTOR=2: window at $x,$y size ${w}x${h} on a 1366x768 screen"
    if [ "$x" -lt 0 ] || [ "$y" -lt 0 ] || [ $((x + w)) -gt 1366 ] || [ $((y + h)) -gt 768 ]; then
        echo "FAIL: the window reaches beyond the screen"
        status=1
    fi
else
    echo "FAIL: no window shown"; cat "$work/program.log"; status=1
fi
stop

start QT_SCALE_FACTOR=1
if read -r x y w h < <(window_of); then
    echo "QT_SCALE_FACTOR=1: window at $x,$y size ${w}x${h}"
    if [ "$w" -ne 536 ] || [ "$h" -ne 515 ]; then
        echo "FAIL: at the usual scale the window must keep its designed size 536x515"
        status=1
    fi
else
    echo "FAIL: no window shown"; cat "$work/program.log"; status=1
fi
stop

exit "$status"
