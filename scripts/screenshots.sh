#!/usr/bin/env bash
# Takes the pictures of the user manual (help/kepek/*.png) again from scratch.
#
#   scripts/screenshots.sh
#   LAPORA=/path/to/lapora LAPORA_CLI=/path/to/lapora-cli scripts/screenshots.sh
#
# The designer runs on a virtual display (Xvfb :77, or the SCREEN given; 1280 x 1024) under
# openbox, with a throw-away home folder, so the user's own settings and
# cards are never touched. A sample card is made with "lapora-cli build",
# opened in the designer, and the program is driven with xdotool; the
# pictures are cut out of the screen with ImageMagick and reduced to a few
# colours. Needs: Xvfb, openbox, xdotool, wmctrl, xdpyinfo, ImageMagick.
#
# The clicks go to fixed places: the main window is put at the top-left
# corner of the screen through the settings file, so the card window and
# its card always land in the same place. If the card is not found where
# it is expected, the script stops with an error instead of taking wrong
# pictures. Exit status: 0 when every picture was made, 1 otherwise.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
LAPORA=${LAPORA:-build/lapora}
LAPORA_CLI=${LAPORA_CLI:-build/lapora-cli}
[[ $LAPORA == /* ]] || LAPORA=$ROOT/$LAPORA
[[ $LAPORA_CLI == /* ]] || LAPORA_CLI=$ROOT/$LAPORA_CLI
OUT=$ROOT/help/kepek
SCREEN=${SCREEN:-77}

fail() {
    echo "screenshots.sh: $*" >&2
    exit 1
}

for tool in Xvfb openbox xdotool wmctrl xdpyinfo import convert base64; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[[ -x $LAPORA ]] || fail "no designer at $LAPORA (set LAPORA)"
[[ -x $LAPORA_CLI ]] || fail "no lapora-cli at $LAPORA_CLI (set LAPORA_CLI)"
if [[ -e /tmp/.X$SCREEN-lock ]] || xdpyinfo -display ":$SCREEN" >/dev/null 2>&1; then
    fail "display :$SCREEN is already in use"
fi

WORK=$(mktemp -d)
XVFB_PID=
WM_PID=
APP_PID=

cleanup() {
    local status=$?
    for pid in $APP_PID $WM_PID $XVFB_PID; do
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$WORK"
    if [[ $status -ne 0 ]]; then
        echo "screenshots.sh: failed (status $status)" >&2
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# ---------------------------------------------------------------- the home
export HOME=$WORK/home
export XDG_CONFIG_HOME=$HOME/.config
export XDG_DATA_HOME=$HOME/.local/share
export XDG_CACHE_HOME=$HOME/.cache
export XDG_RUNTIME_DIR=$WORK/run
export DISPLAY=:$SCREEN
export QT_QPA_PLATFORM=xcb
export LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY SESSION_MANAGER
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/Lapora2" "$XDG_CACHE_HOME" "$HOME/Dokumentumok" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
CARDS=$HOME/Dokumentumok
SHOTS=$WORK/shots
mkdir -p "$SHOTS"

# The main window at the top-left corner, large enough for a card window.
printf '[frm_Main]\r\nLeft=0\r\nTop=0\r\nWidth=800\r\nHeight=680\r\n' >"$XDG_DATA_HOME/Lapora2/Lapora2.ini"

# ------------------------------------------------------------ the sample card
BOLD_FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
[[ -f $BOLD_FONT ]] || BOLD_FONT=DejaVu-Sans-Bold
convert -size 64x64 xc:none -fill '#f08c1e' -draw 'circle 32,32 32,2' \
    -fill white -font "$BOLD_FONT" -pointsize 28 -gravity center -annotate +0+1 'KA' \
    -depth 8 -strip "$WORK/logo.png"

# Colours: red + 256 * green + 65536 * blue.
BLUE=8537630     # 30, 70, 130
ORANGE=2002160   # 240, 140, 30
GREY=8421504     # 128, 128, 128
cat >"$WORK/card.json" <<EOF
{"records": [
 {"sorszam": 1, "tipus": 2, "nev": "kék sáv", "left": 6, "top": 6, "width": 104, "height": 178,
  "brushcolor": $BLUE, "brushstyle": 0, "shape": 0, "pencolor": $BLUE, "penstyle": 0, "penwidth": 1,
  "compnev": "shp101"},
 {"sorszam": 2, "tipus": 1, "nev": "logó", "left": 26, "top": 30, "width": 64, "height": 64,
  "kep": "$(base64 -w0 "$WORK/logo.png")", "keptip": ".png", "strech": true, "compnev": "img102"},
 {"sorszam": 3, "tipus": 0, "nev": "Kovács Anna", "left": 125, "top": 28, "betutipus": "Arial",
  "betumeret": 16, "felkover": true, "szin": $BLUE, "compnev": "lbl103"},
 {"sorszam": 4, "tipus": 0, "nev": "grafikus tervező", "left": 126, "top": 56, "betutipus": "Arial",
  "betumeret": 9, "dolt": true, "szin": $GREY, "compnev": "lbl104"},
 {"sorszam": 5, "tipus": 2, "nev": "narancs vonal", "left": 126, "top": 80, "width": 190, "height": 3,
  "brushcolor": $ORANGE, "pencolor": $ORANGE, "penwidth": 1, "compnev": "shp105"},
 {"sorszam": 6, "tipus": 0, "nev": "Tel.: +36 30 123 4567", "left": 126, "top": 96, "betutipus": "Arial",
  "betumeret": 8, "compnev": "lbl106"},
 {"sorszam": 7, "tipus": 0, "nev": "anna.kovacs@pelda.hu", "left": 126, "top": 113, "betutipus": "Arial",
  "betumeret": 8, "compnev": "lbl107"},
 {"sorszam": 8, "tipus": 0, "nev": "1051 Budapest, Minta utca 12.", "left": 126, "top": 130,
  "betutipus": "Arial", "betumeret": 8, "compnev": "lbl108"},
 {"sorszam": 9, "tipus": 2, "nev": "kör", "left": 294, "top": 144, "width": 34, "height": 34,
  "brushcolor": $ORANGE, "brushstyle": 4, "shape": 1, "pencolor": $ORANGE, "penstyle": 0, "penwidth": 2,
  "compnev": "shp109"}
]}
EOF
"$LAPORA_CLI" build "$WORK/card.json" "$CARDS/kovacs_anna.bcrd" || fail "lapora-cli build failed"

# -------------------------------------------------------------------- helpers
# The ids of the managed windows whose title is exactly the given text.
window_ids() {
    wmctrl -l | while read -r wid _desk _host title; do
        if [[ $title == "$1" ]]; then
            echo "$wid"
        fi
    done
    return 0
}

# Waits until a window with exactly that title exists and prints the
# newest one's id.
wait_window() {
    local title=$1 ids
    for ((i = 0; i < 40; ++i)); do
        ids=$(window_ids "$title")
        if [[ -n $ids ]]; then
            tail -n 1 <<<"$ids"
            return 0
        fi
        sleep 0.25
    done
    fail "no window titled '$title' appeared"
}

wait_gone() {
    local title=$1
    for ((i = 0; i < 40; ++i)); do
        if [[ -z $(window_ids "$title") ]]; then
            return 0
        fi
        sleep 0.25
    done
    fail "the window titled '$title' did not close"
}

# The colour of one screen pixel, as ImageMagick names it (#RRGGBB).
pixel() {
    import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- | sed -n '2s/.*\(#[0-9A-Fa-f]\{6\}\).*/\1/p'
}

click() {
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool click "${3:-1}"
    sleep 1
}

# Cuts a region (WxH+X+Y) of the screen.
grab_root() {
    import -window root -crop "$2" +repage "$SHOTS/$1.png"
}

# A window with its frame.
grab_window() {
    import -frame -window "$2" "$SHOTS/$1.png"
}

# Few colours, no metadata; an optional resize.
publish() {
    local name=$1 resize=${2:-}
    local args=()
    if [[ -n $resize ]]; then
        args+=(-filter Lanczos -resize "$resize")
    fi
    convert "$SHOTS/$name.png" "${args[@]}" -dither None -colors 64 -strip "PNG8:$OUT/$name.png"
}

# ---------------------------------------------------------- display and WM
Xvfb ":$SCREEN" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for ((i = 0; i < 40; ++i)); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    sleep 0.25
done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not answer"
openbox >"$WORK/openbox.log" 2>&1 &
WM_PID=$!
sleep 2

# ---------------------------------------------------------------- the program
# Opened by a name relative to its folder, the card window's title is the
# file's name.
(cd "$CARDS" && exec "$LAPORA" kovacs_anna.bcrd) >"$WORK/lapora.log" 2>&1 &
APP_PID=$!
MAIN=$(wait_window Lapora)
sleep 3
kill -0 "$APP_PID" 2>/dev/null || fail "the designer ended at start: $(cat "$WORK/lapora.log")"
wait_window Lapora >/dev/null

# The card's top-left pixel is at (32, 177) on the screen. The first layer,
# the blue band at (6, 6), is current after opening, so its top-left resize
# handle (black) sits at (38, 183).
CARD_X=32
CARD_Y=177
at() { echo $((CARD_X + $1)) $((CARD_Y + $2)); }
read -r hx hy < <(at 6 6)
[[ $(pixel $((hx + 3)) $((hy + 3))) == "#000000" ]] ||
    fail "the card is not where expected (no resize handle at $hx,$hy); see $WORK"

# 1. The main window with the card; the name's text layer selected.
read -r x y < <(at 150 38)
click "$x" "$y"
xdotool mousemove 780 660
sleep 1
grab_window foablak "$MAIN"

# 2. The File menu.
click 23 29
grab_root menu_file 420x250+0+0
xdotool key Escape
sleep 0.5

# 3. The context menu of a shape, with its "Kitöltés" submenu.
read -r x y < <(at 311 161)
click "$x" "$y" 3
xdotool mousemove $((x + 46)) $((y + 126))
sleep 1.5
grab_root helyi_menu 390x320+$((x - 20))+$((y - 40))
xdotool key Escape
sleep 0.3
xdotool key Escape
sleep 0.5

# 4. The settings dialog (Rendszer / Beállítások).
click 241 29
xdotool key Down Return
DIALOG=$(wait_window Beállítások)
sleep 1.5
grab_window beallitasok "$DIALOG"
wmctrl -i -c "$DIALOG"
wait_gone Beállítások

# 5. The about box (Súgó / Lapora, the last item).
click 347 29
xdotool key Up
sleep 0.3
xdotool key Return
ABOUT=
for ((i = 0; i < 40; ++i)); do
    for wid in $(window_ids Lapora); do
        if [[ $wid != "$MAIN" ]]; then
            ABOUT=$wid
        fi
    done
    if [[ -n $ABOUT ]]; then
        break
    fi
    sleep 0.25
done
[[ -n $ABOUT ]] || fail "the about box did not open"
sleep 1.5
grab_window nevjegy "$ABOUT"
xdotool key Return
sleep 1

# 6. The print preview (Ctrl+K).
xdotool windowactivate "$MAIN" 2>/dev/null || true
sleep 0.5
xdotool key ctrl+k
PREVIEW=$(wait_window 'Lapora nyomtatás')
sleep 3
grab_root nyomtatasi_kep 980x560+0+0
wmctrl -i -c "$PREVIEW"
wait_gone 'Lapora nyomtatás'

# 7. A phone-sized photo chosen with "Új kép" (F3): the question whether
#    to store it reduced; Esc keeps it whole.
convert -size 4000x3000 gradient:'#1e4682-#f08c1e' -attenuate 0.3 +noise Gaussian -quality 95 "$WORK/foto.jpg"
xdotool windowactivate "$MAIN" 2>/dev/null || true
sleep 0.5
xdotool key F3
sleep 2
xdotool type --delay 20 "$WORK/foto.jpg"
xdotool key Return
REDUCE=$(wait_window 'Kép kicsinyítése')
sleep 1.5
grab_window kicsinyites "$REDUCE"
xdotool key Escape
wait_gone 'Kép kicsinyítése'

# 8. Closing: the card was changed by the clicks, so the question comes;
#    "Nem" closes without saving.
wmctrl -i -c "$MAIN"
QUESTION=$(wait_window Kérdés)
sleep 1
grab_window kerdes "$QUESTION"
xdotool key alt+n
for ((i = 0; i < 40; ++i)); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.25
done
if kill -0 "$APP_PID" 2>/dev/null; then
    fail "the designer did not end"
fi
wait "$APP_PID" || fail "the designer ended with an error: $(cat "$WORK/lapora.log")"
APP_PID=

# 9. The printed sheet and the card alone, drawn by lapora-cli.
"$LAPORA_CLI" render "$CARDS/kovacs_anna.bcrd" --png "$SHOTS/lap.png" --dpi 60 || fail "render failed"
"$LAPORA_CLI" render "$CARDS/kovacs_anna.bcrd" --card --png "$SHOTS/kartya.png" --dpi 120 || fail "render failed"
# Where four copies meet (the bottom-right corner of copy 1 lies at
# 104.96 x 60.27 mm, at 300 dpi the pixel 1240, 712), their corner marks.
"$LAPORA_CLI" render "$CARDS/kovacs_anna.bcrd" --png "$SHOTS/lap300.png" --dpi 300 || fail "render failed"
convert "$SHOTS/lap300.png" -crop 180x130+1150+647 +repage -filter Lanczos -resize 180% "$SHOTS/vagojelek.png"

# ------------------------------------------------------------------- publish
mkdir -p "$OUT"
publish foablak
publish menu_file
publish helyi_menu
publish beallitasok
publish kicsinyites
publish nevjegy
publish nyomtatasi_kep 60%
publish kerdes
publish lap
publish kartya
publish vagojelek
echo "screenshots.sh: pictures written to $OUT"
ls -l "$OUT"
