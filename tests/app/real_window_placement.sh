#!/usr/bin/env bash
# The main window under a real window manager, over three start-ups: moved,
# it opens where it was closed; maximised, it stores and opens at its
# maximised bounds; and nothing creeps from one run to the next.
#   real_window_placement.sh path/to/lapora
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/real_window.sh"
# A copy of its own: a settings file beside the build's program would win
# over the one this test reads.
mkdir "$work/bin"
cp "$1" "$work/bin/lapora"
program="$work/bin/lapora"

export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
ini="$XDG_DATA_HOME/Lapora2/Lapora2.ini"

# The whole window, frame included: x y width height.
frame_of() {
    local id=$1 x y w h extents l r t b
    x=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')
    y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')
    w=$(xwininfo -id "$id" | awk '/Width:/ {print $2}')
    h=$(xwininfo -id "$id" | awk '/Height:/ {print $2}')
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    read -r l r t b <<<"$extents"
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# The frm_Main section of the settings file: left top width height.
stored() {
    awk -F= '/^\[/ {in_main = ($0 == "[frm_Main]")}
             in_main && $1 == "Left" {l = $2} in_main && $1 == "Top" {t = $2}
             in_main && $1 == "Width" {w = $2} in_main && $1 == "Height" {h = $2}
             END {print l, t, w, h}' "$ini" | tr -d '\r'
}

start() {
    "$program" >"$work/out.log" 2>&1 &
    pid=$!
    id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lapora$' | head -n 1) || fail "no main window"
    sleep 1.5
}

finish() {
    wmctrl -i -c "$id"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end on close"
    wait "$pid" || fail "the program ended with an error: $(cat "$work/out.log")"
}

# First run: it fits the screen; the user moves and resizes it.
start
read -r x y w h <<<"$(frame_of "$id")"
((x >= 0 && y >= 0 && x + w <= 1280 && y + h <= 1024)) || fail "first run off the screen: $x $y $w $h"
wmctrl -i -r "$id" -e 0,150,120,900,700
sleep 1
moved=$(frame_of "$id")
[[ "$moved" != "$x $y $w $h" ]] || fail "the first move snapped back"
finish
[[ "$(stored)" == "$moved" ]] || fail "closed at $moved, stored $(stored)"

# Second run: where it was closed; then maximised.
start
[[ "$(frame_of "$id")" == "$moved" ]] || fail "closed at $moved, opened at $(frame_of "$id")"
wmctrl -i -r "$id" -b add,maximized_vert,maximized_horz
# The window manager takes the frame away in steps; the program hears of
# each. Wait until the frame holds still, then give the program time to
# hear of the last step.
previous=""
for _ in $(seq 20); do
    sleep 0.5
    now=$(frame_of "$id")
    [[ "$now" == "$previous" && "$now" == "0 0 "* ]] && break
    previous=$now
done
sleep 1
maximised=$(frame_of "$id")
[[ "$maximised" != "$moved" ]] || fail "the maximise snapped back"
finish
[[ "$(stored)" == "$maximised" ]] || fail "maximised at $maximised, stored $(stored)"

# Third run: at the maximised bounds, and no creep when closed untouched.
start
[[ "$(frame_of "$id")" == "$maximised" ]] || fail "closed at $maximised, opened at $(frame_of "$id")"
finish
[[ "$(stored)" == "$maximised" ]] || fail "untouched, it moved from $maximised to $(stored)"
echo "placement held over three runs: moved to $moved, maximised to $maximised"
