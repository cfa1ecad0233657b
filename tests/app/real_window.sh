# Sourced by the real-window tests: a work folder ($work) removed at the
# end with whatever the test started, a virtual screen of 1280 × 1024 with
# openbox managing its windows ($DISPLAY), and fail().
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
sleep 1

fail() { echo "FAIL: $*" >&2; exit 1; }
