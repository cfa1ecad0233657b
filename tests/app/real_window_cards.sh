#!/usr/bin/env bash
# Card windows under a real window manager, judged by what reaches the
# screen and the disk:
# - a layer reaching past the card's edge shows in the margin round it;
# - a new card and a card opened beside a maximised one are laid out whole;
# - new text, shape, picture and QR layers each open on their own page;
# - Előnézet returns to the print dialog with every setting kept;
# - closing with two unsaved cards shows each card before its question,
#   and "Igen" saves the card shown;
# - a phone-sized photo brings the question "Kép kicsinyítése", and its
#   default answer stores the photo reduced.
#   real_window_cards.sh path/to/lapora path/to/lapora-cli
set -euo pipefail

program=$1
cli=$2
source "$(dirname "${BASH_SOURCE[0]}")/real_window.sh"

export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work/home" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME"

# Two cards, each a 200 × 120 px rectangle of its own colour reaching 15 px
# past the card's top left corner: red (TColor 255) and blue.
for card in "piros 255 #FF0000" "kek 16711680 #0000FF"; do
    read -r name color _ <<<"$card"
    printf '{"records": [{"sorszam": 1, "tipus": 2, "compnev": "shape1", "nev": "%s", "left": -15, "top": -15,
              "width": 200, "height": 120, "brushcolor": %s, "pencolor": %s, "brushstyle": 0, "shape": 0,
              "penstyle": 0, "penwidth": 1}]}' "$name" "$color" "$color" >"$work/$name.json"
    "$cli" build "$work/$name.json" "$work/$name.bcrd"
done
cp "$work/piros.bcrd" "$work/piros-before.bcrd"
cp "$work/kek.bcrd" "$work/kek-before.bcrd"
convert -size 60x40 xc:'#00FF00' "$work/zold.png"
convert -size 4000x3000 gradient:'#1e4682-#f08c1e' -attenuate 0.3 +noise Gaussian -quality 95 "$work/foto.jpg"

shot() { import -window root "$work/$1.png"; }
# How many pixels of the screenshot are exactly this colour.
pixels() {
    convert "$work/$1.png" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Left and top of the colour's bounding box on the screenshot.
corner() {
    convert "$work/$1.png" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" -format '%@' info: \
        | sed -E 's/^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$/\1 \2/'
}
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true; }

"$program" "$work/piros.bcrd" >"$work/out.log" 2>&1 &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lapora$' | head -n 1) || fail "no main window"
wmctrl -i -r "$main" -b add,maximized_vert,maximized_horz
sleep 2

# The whole rectangle shows, the 15 px past the card's edge too: cut at
# the card it would be 185 × 105 px.
shot edge
red=$(pixels edge '#FF0000')
((red > 23000)) || fail "the layer past the card's edge is cut: $red red pixels of 24000"

# Maximised by a double click on its title bar, 80 px above the card box.
read -r left top <<<"$(corner edge '#FF0000')"
xdotool mousemove $((left + 300)) $((top - 81)) click --repeat 2 --delay 80 1
sleep 1
shot maximised
read -r maxLeft maxTop <<<"$(corner maximised '#FF0000')"
((maxTop < top)) || fail "the card window was not maximised"

# A new card beside it is maximised too, and laid out whole: no grey of
# the empty frame (159, 159, 159) shows round a window left at its first size.
xdotool key ctrl+n
sleep 2
shot new
grey=$(pixels new 'srgb(159,159,159)')
((grey < 5000)) || fail "a new card beside a maximised one is not laid out whole: $grey grey pixels"
# Bezár on the card window's tool bar, above the card box.
xdotool mousemove $((maxLeft + 583)) $((maxTop - 47)) click 1
sleep 1
shot closed
(($(pixels closed '#FF0000') > 20000)) || fail "Bezár did not close the new card"

# So is the blue card opened beside it.
xdotool key ctrl+o
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/kek.bcrd"
xdotool key Return
sleep 2
shot beside
blue=$(pixels beside '#0000FF')
((blue > 23000)) || fail "the card opened beside a maximised one shows $blue of its 24000 blue pixels"
[[ $(pixels beside '#FF0000') -eq 0 ]] || fail "the card opened beside a maximised one does not cover it"

# The panel, right of the card box, for each new layer.
read -r blueLeft blueTop <<<"$(corner beside '#0000FF')"
panel() {
    shot "$1-screen"
    convert "$work/$1-screen.png" -crop 760x480+$((blueLeft + 500))+$((blueTop - 30)) +repage "$work/$1.png"
}
panel shapeShown
xdotool key F2
sleep 0.8
panel newText
xdotool key F4
sleep 0.8
panel newShape
xdotool key F3
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/zold.png"
xdotool key Return
sleep 1.5
panel newPicture
xdotool key F5
qr=$(timeout 10 xdotool search --sync --onlyvisible --name '^QR-kód$' | head -n 1) || fail "no QR dialog"
xdotool windowactivate --sync "$qr"
xdotool type --delay 30 "Kovacs"
xdotool key Return
sleep 1.5
panel newQr
(($(differing newText shapeShown) > 5000)) || fail "a new text layer shows the shape page"
[[ $(differing newShape shapeShown) -lt 500 ]] || fail "a new shape layer does not show the shape page"
(($(differing newPicture newText) > 5000)) || fail "a new picture layer shows the text page"
(($(differing newPicture newShape) > 5000)) || fail "a new picture layer shows the shape page"
[[ $(differing newQr newPicture) -lt 500 ]] || fail "a new QR layer does not show the picture page"

# Előnézet, closed, gives back the dialog as it was: 13 copies from
# position 4 with a back are two sheets, four pages in the PDF.
xdotool key shift+ctrl+p
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Nyomtatás$' | head -n 1) || fail "no print dialog"
xdotool windowactivate --sync "$dialog"
# From the printer past the sheet and its "Egyéni lap..." to the copies.
xdotool key Tab Tab Tab ctrl+a
xdotool type 13
xdotool key Tab ctrl+a
xdotool type 4
xdotool key Tab Down
sleep 0.3
# The buttons' row, at the right: Nyomtatás, Előnézet, PDF mentése...,
# Mégse; found from the dialog's right edge.
height=$(xwininfo -id "$dialog" | awk '/Height:/ {print $2}')
width=$(xwininfo -id "$dialog" | awk '/Width:/ {print $2}')
xdotool mousemove --window "$dialog" $((width - 264)) $((height - 23)) click 1
preview=$(timeout 10 xdotool search --sync --onlyvisible --name '^Lapora nyomtatás$' | head -n 1) || fail "no preview"
sleep 1
wmctrl -i -c "$preview"
sleep 1
xdotool search --onlyvisible --name '^Nyomtatás$' >/dev/null || fail "the print dialog did not come back"
xdotool mousemove --window "$dialog" $((width - 157)) $((height - 23)) click 1
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/lap.pdf"
xdotool key Return
for _ in $(seq 50); do [[ -s "$work/lap.pdf" ]] && break; sleep 0.2; done
pages=$(pdfinfo "$work/lap.pdf" | awk '/^Pages:/ {print $2}')
[[ "$pages" == 4 ]] || fail "after Előnézet the PDF has $pages pages, not 4: the settings were lost"

# Both cards changed, the blue one in front: closing asks first about the
# red one and shows it, then about the blue one. "Igen" saves the red
# card; "Nem" leaves the blue one as it was on disk.
# Ctrl+Tab to the other card, waited for until its colour fills the
# screen: on a busy machine the switch can take longer than a key press.
switch_to() {
    xdotool key ctrl+Tab
    for _ in $(seq 40); do
        shot front
        (($(pixels front "$1") > 5000)) && return 0
        sleep 0.25
    done
    fail "Ctrl+Tab did not bring the $1 card to the front"
}
switch_to '#FF0000'
xdotool key F4
sleep 0.5
# A photo far finer than its box on the card: Enter takes the question's
# default, Kicsinyítés.
xdotool key F3
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/foto.jpg"
xdotool key Return
reduce=$(timeout 15 xdotool search --sync --onlyvisible --name '^Kép kicsinyítése$' | head -n 1) ||
    fail "a large photo brought no Kép kicsinyítése question"
xdotool windowactivate --sync "$reduce"
xdotool key Return
sleep 1
switch_to '#0000FF'
# The question in front, with the card of one colour shown and not the
# other's; it answers with the key given.
answer() {
    local which=$1 shown=$2 hidden=$3 key=$4 question
    question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kérdés$' | head -n 1) || fail "no $which question"
    sleep 0.5
    shot "$which"
    (($(pixels "$which" "$shown") > 5000)) || fail "the $which question does not show its card ($shown)"
    (($(pixels "$which" "$hidden") < 1000)) || fail "the $which question shows the other card ($hidden)"
    xdotool windowactivate --sync "$question"
    xdotool key "$key"
}
wmctrl -i -c "$main"
answer first '#FF0000' '#0000FF' Return
sleep 1
answer second '#0000FF' '#FF0000' alt+n
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after the questions"
wait "$pid" || fail "the program ended with an error: $(cat "$work/out.log")"
cmp -s "$work/piros.bcrd" "$work/piros-before.bcrd" && fail "Igen did not save the red card"
# Dumped to a file first: grep -q ending early would break a pipe still
# carrying the photo's bytes.
"$cli" dump "$work/piros.bcrd" >"$work/piros.json"
grep -q '"nev": "alakzat2"' "$work/piros.json" || fail "the red card was saved without its new shape"
cmp -s "$work/kek.bcrd" "$work/kek-before.bcrd" || fail "Nem changed the blue card on disk"
grep -q '"keptip": ".jpg"' "$work/piros.json" || fail "the red card was saved without its photo"
(($(stat -c %s "$work/piros.bcrd") < $(stat -c %s "$work/foto.jpg") / 4)) ||
    fail "the photo was saved whole: the card is $(stat -c %s "$work/piros.bcrd") bytes"
echo "cards: margin, maximised layout, pages of new layers, preview, close questions, large photo reduced all held"
