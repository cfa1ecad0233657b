#!/usr/bin/env bash
# Installs what is missing, builds, and starts the designer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
if [[ -x build/lapora ]]; then
    if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]]; then
        echo "No display to open the designer on (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
        echo "Start it on a virtual display:  xvfb-run build/lapora" >&2
        exit 1
    fi
    exec build/lapora
fi
exec build/lapora-cli
