#!/usr/bin/env bash
# Installs the Debian packages Lapora needs, and only those that are missing.
# Quiet when everything is already there.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libqt6svg6-dev qt6-translations-l10n libgl-dev
    libqrencode-dev libqpdf-dev
    scdoc librsvg2-bin
    argyll icc-profiles-free ghostscript liblcms2-utils
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libzxing-dev zbar-tools poppler-utils
    strace xvfb xauth openbox xdotool wmctrl x11-utils imagemagick
    dpkg-dev lintian appstream desktop-file-utils libxml2-utils
    fonts-wine fonts-liberation2 fonts-dejavu-core tango-icon-theme
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
