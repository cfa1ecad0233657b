#!/usr/bin/env bash
# A designer killed with unsaved cards offers them on its next start, under
# a real window manager: a card is made, the program is killed (SIGKILL),
# started again, the "Helyreállítás" dialog opens the card, and saved it
# holds what was made before the kill. A clean exit then leaves no copy.
#   real_window_recovery.sh path/to/lapora path/to/lapora-cli
set -euo pipefail

program=$1
cli=$2
source "$(dirname "${BASH_SOURCE[0]}")/real_window.sh"

export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work/home" QT_QPA_PLATFORM=xcb
export LAPORA_RECOVERY_INTERVAL_MS=300
mkdir -p "$HOME"
recovery="$XDG_DATA_HOME/Lapora2/recovery"

start() {
    "$program" >>"$work/out.log" 2>&1 &
    pid=$!
    main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lapora$' | head -n 1) || fail "no main window"
    sleep 1
}

# A new card with a text and a shape on it.
start
xdotool windowactivate --sync "$main"
xdotool key --window "$main" ctrl+n
sleep 0.5
xdotool key F2
sleep 0.3
xdotool type --delay 30 "Vesztes Vera"
xdotool key F4
for _ in $(seq 50); do
    compgen -G "$recovery/*/card*.bcrd" >/dev/null && break
    sleep 0.2
done
compgen -G "$recovery/*/card*.bcrd" >/dev/null || fail "no recovery copy was written"
sleep 0.5
kill -9 "$pid"
wait "$pid" 2>/dev/null || true

# The next start offers it; Megnyitás opens it.
start
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Helyreállítás$' | head -n 1) || fail "no Helyreállítás dialog"
xdotool windowactivate --sync "$dialog"
xdotool key Return
sleep 1
xdotool search --onlyvisible --name '^Helyreállítás$' >/dev/null 2>&1 && fail "the dialog stayed open"

# Saved under a name, the card holds what was made before the kill.
# Undoing with nothing to undo leaves the recovered card unsaved: closing
# asks, with the card named, and Mégse keeps the program and the copy.
xdotool key ctrl+z
sleep 0.3
wmctrl -i -c "$main"
question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kérdés$' | head -n 1) \
    || fail "closing with a recovered card asked nothing"
xdotool windowactivate --sync "$question"
xdotool key Escape
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the program ended after Mégse"
compgen -G "$recovery/*/card*.bcrd" >/dev/null || fail "the copy went before the card was saved"
xdotool windowactivate --sync "$main"
sleep 0.3

saved="$work/home/megmentett.bcrd"
xdotool key ctrl+s
sleep 1
xdotool key ctrl+a
xdotool type --delay 20 "$saved"
xdotool key Return
for _ in $(seq 50); do [[ -s "$saved" ]] && break; sleep 0.2; done
[[ -s "$saved" ]] || fail "the recovered card was not saved"
dump=$("$cli" dump "$saved")
grep -q '"nev": "Vesztes Vera"' <<<"$dump" || fail "the recovered card lacks the text: $dump"
grep -q '"nev": "alakzat2"' <<<"$dump" || fail "the recovered card lacks the shape: $dump"

# A clean exit, with the card saved: no question, no copy left.
wmctrl -i -c "$main"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end on close"
wait "$pid" || fail "the program ended with an error: $(cat "$work/out.log")"
[[ -z "$(ls -A "$recovery")" ]] || fail "copies left after a clean exit: $(ls -R "$recovery")"
echo "a killed card came back with its text and shape"
