#!/usr/bin/env bash
# Several layers at once under a real window manager, judged by what
# reaches the screen: a click and a Shift+click select two layers, which a
# drag moves together and Ctrl+Z puts back; a box drawn on the empty card
# selects the layers inside it, which Ctrl+Del deletes and Ctrl+Z brings
# back; Ctrl+A selects all, which "Igazítás felülre" and "Elosztás
# vízszintesen" from the layer's menu line up and space evenly.
#   real_window_selection.sh path/to/lapora path/to/lapora-cli
set -euo pipefail

program=$1
cli=$2
source "$(dirname "${BASH_SOURCE[0]}")/real_window.sh"
# KEEP_SHOTS names a folder for the screenshots, kept also when a check fails.
keep() { [[ -z "${KEEP_SHOTS:-}" ]] || cp "$work"/*.png "$KEEP_SHOTS"/ 2>/dev/null || true; }
fail() {
    keep
    echo "FAIL: $*" >&2
    exit 1
}

export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work/home" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME"

# Three rectangles of their own colour: red at 20, 20 (60 × 40), green at
# 120, 60 (50 × 50), blue at 220, 100 (60 × 40).
layer() {
    printf '{"sorszam": %s, "tipus": 2, "compnev": "shape%s", "nev": "r%s", "left": %s, "top": %s, "width": %s,
             "height": %s, "brushcolor": %s, "pencolor": %s, "brushstyle": 0, "shape": 0, "penstyle": 0,
             "penwidth": 1}' "$1" "$1" "$1" "$2" "$3" "$4" "$5" "$6" "$6"
}
printf '{"records": [%s, %s, %s]}' "$(layer 1 20 20 60 40 255)" "$(layer 2 120 60 50 50 65280)" \
    "$(layer 3 220 100 60 40 16711680)" >"$work/harom.json"
"$cli" build "$work/harom.json" "$work/harom.bcrd"

red='#FF0000'
green='#00FF00'
blue='#0000FF'
shot() { import -window root "$work/$1.png"; }
# Left and top of the colour's bounding box on the screenshot.
corner() {
    convert "$work/$1.png" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" -format '%@' info: \
        | sed -E 's/^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$/\1 \2/'
}
pixels() {
    convert "$work/$1.png" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Where each colour's layer lies on the card, in card pixels (the card is
# shown at 100 %). The box round several selected layers runs over their
# outer edges, so a click on the empty card first keeps one layer selected.
places() {
    local name=$1 x y out=""
    click "" 330 180
    shot "$name"
    for colour in "$red" "$green" "$blue"; do
        read -r x y <<<"$(corner "$name" "$colour")"
        out+="$((x - originX)),$((y - originY)) "
    done
    echo "${out% }"
}
# A point of the card, on the screen.
at() { echo "$((originX + $1)) $((originY + $2))"; }
# A left-button drag from one card point to another, with the keys given
# held throughout.
drag() {
    local keys=$1
    read -r x0 y0 <<<"$(at "$2" "$3")"
    read -r x1 y1 <<<"$(at "$4" "$5")"
    [[ -n "$keys" ]] && xdotool keydown "$keys"
    xdotool mousemove "$x0" "$y0" mousedown 1
    sleep 0.2
    xdotool mousemove $(((x0 + x1) / 2)) $(((y0 + y1) / 2))
    sleep 0.2
    xdotool mousemove "$x1" "$y1"
    sleep 0.2
    xdotool mouseup 1
    [[ -n "$keys" ]] && xdotool keyup "$keys"
    sleep 0.5
}
click() {
    read -r x y <<<"$(at "$2" "$3")"
    if [[ -n "$1" ]]; then
        xdotool mousemove "$x" "$y" keydown "$1" click 1 keyup "$1"
    else
        xdotool mousemove "$x" "$y" click 1
    fi
    sleep 0.4
}
expect() {
    local got
    got=$(places "$1")
    [[ "$got" == "$2" ]] || fail "$3: layers at $got, not $2"
}

"$program" "$work/harom.bcrd" >"$work/out.log" 2>&1 &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lapora$' | head -n 1) || fail "no main window"
wmctrl -i -r "$main" -b add,maximized_vert,maximized_horz
sleep 2
shot start
read -r originX originY <<<"$(corner start "$red")"
originX=$((originX - 20))
originY=$((originY - 20))
start="20,20 120,60 220,100"
expect opened "$start" "the card opened"

# Red, then blue with Shift: the drag of blue moves both (Ctrl keeps them
# from snapping), green stays; Ctrl+Z puts both back.
click "" 40 40
click shift 250 120
shot twoSelected
drag ctrl 250 120 280 140
expect dragged "50,40 120,60 250,120" "a drag of two selected layers"
xdotool key ctrl+z
sleep 0.5
expect undone "$start" "Ctrl+Z after the drag"

# A box from the empty corner round red and green, then Ctrl+Del: both
# go, blue stays; Ctrl+Z brings both back.
drag "" 5 5 185 125
shot boxSelected
xdotool key ctrl+Delete
sleep 0.7
shot deleted
(($(pixels deleted "$red") == 0 && $(pixels deleted "$green") == 0)) || fail "Ctrl+Del left a layer of the box"
(($(pixels deleted "$blue") > 2000)) || fail "Ctrl+Del took the layer outside the box"
xdotool key ctrl+z
sleep 0.7
expect restored "$start" "Ctrl+Z after the delete"

# Ctrl+A, then the menu of the blue layer (at a card point): Igazítás, its
# fourth command (Igazítás felülre), then its seventh (Elosztás
# vízszintesen).
align() {
    read -r x y <<<"$(at "$1" "$2")"
    xdotool mousemove "$x" "$y" click 3
    sleep 0.6
    xdotool key Up Right
    sleep 0.4
    for _ in $(seq "$3"); do xdotool key Down; done
    xdotool key Return
    sleep 0.7
}
click "" 330 180
xdotool key ctrl+a
sleep 0.4
shot allSelected
align 250 120 3
expect aligned "20,20 120,20 220,20" "Igazítás felülre"
xdotool key ctrl+a
sleep 0.4
align 250 40 6
expect distributed "20,20 125,20 220,20" "Elosztás vízszintesen"

wmctrl -i -c "$main"
question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kérdés$' | head -n 1) || fail "no close question"
xdotool windowactivate --sync "$question"
xdotool key alt+n
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end"
wait "$pid" || fail "the program ended with an error: $(cat "$work/out.log")"
keep
echo "selection: click, Shift, box and Ctrl+A, the group's drag, delete, alignment and spacing all held"
