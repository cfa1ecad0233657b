#!/usr/bin/env bash
# "Egyéni lap..." under a real window manager: from the print dialog, a
# layout typed in whose cards overlap is refused (the editor says why, and
# Mentés gives the error box); set right it is saved as its section of the
# settings file, chosen in the print dialog, and lapora-cli finds it there.
# With LAPORA_SHOT_DIR set, the screenshots are kept there.
#   real_window_sheet.sh path/to/lapora path/to/lapora-cli
set -euo pipefail

program=$1
cli=$2
source "$(dirname "${BASH_SOURCE[0]}")/real_window.sh"

export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work/home" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME"
ini="$XDG_DATA_HOME/Lapora2/Lapora2.ini"

printf '{"records": [{"sorszam": 1, "tipus": 2, "compnev": "shape1", "nev": "piros", "left": 20, "top": 20,
          "width": 200, "height": 120, "brushcolor": 255, "pencolor": 255, "brushstyle": 0, "shape": 0,
          "penstyle": 0, "penwidth": 1}]}' >"$work/piros.json"
"$cli" build "$work/piros.json" "$work/piros.bcrd"

shot() {
    import -window root "$work/$1.png"
    if [[ -n ${LAPORA_SHOT_DIR:-} ]]; then mkdir -p "$LAPORA_SHOT_DIR" && cp "$work/$1.png" "$LAPORA_SHOT_DIR/"; fi
}
# How many pixels of the screenshot are exactly this colour.
pixels() {
    convert "$work/$1.png" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
window() { timeout 10 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
field() { xdotool key ctrl+a && xdotool type --delay 30 "$1"; }

"$program" "$work/piros.bcrd" >"$work/out.log" 2>&1 &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lapora$' | head -n 1) || fail "no main window"
sleep 1.5

xdotool key shift+ctrl+p
dialog=$(window '^Nyomtatás$') || fail "no print dialog"
xdotool windowactivate --sync "$dialog"
sleep 0.5
# From the printer past the sheet to "Egyéni lap...".
xdotool key Tab Tab space
editor=$(window '^Egyéni lap$') || fail "Egyéni lap... opened no editor"
xdotool windowactivate --sync "$editor"
sleep 0.5
shot opened
# Name, paper, columns, rows, left, top, DX, DY, W, H: a pitch of 45 mm
# under cards 50 mm high.
xdotool type --delay 30 "Saját tizes"
xdotool key Tab Tab
field 2
xdotool key Tab
field 5
xdotool key Tab
field 15
xdotool key Tab
field 13,5
xdotool key Tab
field 90
xdotool key Tab
field 45
xdotool key Tab
field 90
xdotool key Tab
field 50
sleep 0.5
shot overlapping
# The editor's note in its dark red says why.
(($(pixels overlapping '#A40000') > 30)) || fail "the editor does not say that the cards overlap"
xdotool key Return
error=$(window '^Lapora2$') || fail "Mentés of overlapping cards showed no error box"
sleep 0.5
shot refused
[[ -e $ini ]] && grep -aq 'Sheet:' "$ini" && fail "the refused layout was saved"
xdotool windowactivate --sync "$error"
xdotool key Return
sleep 0.5

# Back in H: two fields back is DY.
xdotool windowactivate --sync "$editor"
xdotool key shift+Tab shift+Tab
field 55
sleep 0.5
shot fixed
(($(pixels fixed '#A40000') < 5)) || fail "the editor still refuses a layout that fits"
xdotool key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Egyéni lap$' >/dev/null || break; sleep 0.2; done
xdotool search --onlyvisible --name '^Egyéni lap$' >/dev/null && fail "Mentés did not close the editor"
sleep 0.5
shot chosen

# The section as the settings file keeps it, in Windows-1250.
iconv -f CP1250 -t UTF-8 "$ini" >"$work/ini.txt"
expected=$'[Sheet:Saját tizes]\nPaper=A4\nColumns=2\nRows=5\nLeft=1500\nTop=1350\nDX=9000\nDY=5500\nW=9000\nH=5000\nMarks=1'
grep -qzF "$expected" "$work/ini.txt" || fail "the settings file holds: $(cat "$work/ini.txt")"
"$cli" sheets | grep -qxF $'Saját tizes\tA4\t2x5\t90 x 50 mm' || fail "lapora-cli does not list the saved sheet"

# The dialog has it chosen: its PDF is one A4 page.
height=$(xwininfo -id "$dialog" | awk '/Height:/ {print $2}')
width=$(xwininfo -id "$dialog" | awk '/Width:/ {print $2}')
xdotool windowactivate --sync "$dialog"
xdotool mousemove --window "$dialog" $((width - 157)) $((height - 23)) click 1
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/lap.pdf"
xdotool key Return
for _ in $(seq 50); do [[ -s "$work/lap.pdf" ]] && break; sleep 0.2; done
sleep 0.5
pdfinfo "$work/lap.pdf" >"$work/pdfinfo.txt" 2>&1 || fail "no PDF was written"
grep -q '^Page size: *595.* x 842.*(A4)' "$work/pdfinfo.txt" || fail "the PDF is not on A4: $(cat "$work/pdfinfo.txt")"
# At ten dots a millimetre the red shape, 20 card pixels (5.29 mm) into the
# card, begins 18.66 mm down on this stock (the card centred in 13.5 + 50
# mm), 15.29 mm on the program's own sheet.
pdftoppm -r 254 -png -singlefile "$work/lap.pdf" "$work/lap"
read -r redLeft redTop <<<"$(convert "$work/lap.png" -alpha off -fill black +opaque '#FF0000' -fill white \
    -opaque '#FF0000' -format '%@' info: | sed -E 's/^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$/\1 \2/')"
((redTop >= 185 && redTop <= 188 && redLeft >= 202 && redLeft <= 205)) \
    || fail "the PDF's first card is not where the saved sheet puts it: $redLeft, $redTop"

wmctrl -i -c "$main"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end"
wait "$pid" || fail "the program ended with an error: $(cat "$work/out.log")"
grep -qzF "$expected" <(iconv -f CP1250 -t UTF-8 "$ini") || fail "the saved sheet did not survive the exit"
echo "sheet: an overlapping layout refused, the fixed one saved, chosen and listed"
