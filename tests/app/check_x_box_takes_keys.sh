#!/usr/bin/env bash
# Starts the real program on a virtual X screen with a document on its command line, clicks
# "Start Inserting" in an x mode and types the marker and Return with the keyboard (XTEST), as a
# person would. Passes when the document received the lines: the file was in the list and the
# "Enter x:" box took the keys.   check_x_box_takes_keys.sh PROGRAM SAMPLE_DOCX [WINDOW_MANAGER]
set -euo pipefail
program="$1" sample="$2" wm="${3:-}"
for tool in xvfb-run xwininfo xdotool unzip ${wm:+"$wm"}; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Kestrova" "$work/docs"
cp "$sample" "$work/docs/doc one.docx"
# Mode 2 is "Insert [Textbox] after each x in word files".
printf '[General]\nCombo1=2\nTextbox=Typed into the x box\n' >"$work/config/Kestrova/Lineforge Suite.conf"

XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    program="$1" doc="$2" wm="$3" log="$4"
    if [ -n "$wm" ]; then
        "$wm" >/dev/null 2>&1 &
        sleep 0.5
    fi
    "$program" "$doc" >"$log" 2>&1 & pid=$!
    trap "kill $pid 2>/dev/null" EXIT
    wait_for() {  # wait_for TITLE: the id of a viewable window with exactly that title
        for _ in $(seq 300); do
            for id in $(xdotool search --name "^$1\$" 2>/dev/null); do
                xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && { echo "$id"; return 0; }
            done
            sleep 0.1
        done
        return 1
    }
    main="$(wait_for "Lineforge Suite")" || { echo "the window did not show"; cat "$log"; exit 1; }
    sleep 0.5
    # "Start Inserting": 120, 6680, 7800, 405 twips, 15 twips to a pixel.
    xdotool mousemove --window "$main" 268 459 click 1
    box="$(wait_for Lineforge)" || { echo "the Enter x: box did not show"; exit 1; }
    sleep 0.3
    xdotool type --delay 50 "[x]"
    xdotool key Return
    for _ in $(seq 300); do
        n="$(unzip -p "$doc" word/document.xml 2>/dev/null | grep -o "Typed into the x box" | wc -l)"
        [ "$n" -ge 3 ] && { echo "the document received the lines after its 3 marks"; exit 0; }
        sleep 0.1
    done
    echo "the document is unchanged: the x box did not take the keys, or the file was not listed"
    cat "$log"
    exit 1
' _ "$program" "$work/docs/doc one.docx" "$wm" "$work/program.log"
