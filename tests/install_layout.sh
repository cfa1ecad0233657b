#!/usr/bin/env bash
# `cmake --install` into a throw-away prefix gives a working program with its
# manual, a launcher and a card-file type that the desktop can use.
#   install_layout.sh BUILD_DIR PREFIX
set -euo pipefail
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }

for f in bin/lapora bin/lapora-cli share/lapora/help/index.htm \
         share/applications/lapora.desktop share/mime/packages/lapora.xml \
         share/icons/hicolor/scalable/apps/lapora.svg \
         share/icons/hicolor/scalable/mimetypes/application-x-lapora-card.svg \
         share/lapora/color/lapora-fogra39.icc share/lapora/color/gs/default_rgb.icc; do
    [[ -e "$prefix/$f" ]] || fail "$f is not installed"
done
[[ -x "$prefix/bin/lapora" && -x "$prefix/bin/lapora-cli" ]] || fail "the programs are not executable"

# Every page the manual links to, and every picture it shows, is installed.
help="$prefix/share/lapora/help"
for page in "$help"/*.htm; do
    while IFS= read -r target; do
        [[ "$target" == *:* ]] && continue   # addresses outside the manual
        [[ -e "$help/${target%%#*}" ]] || fail "$(basename "$page") links to missing $target"
    done < <(grep -o -E '(href|src)="[^"]+"' "$page" | sed -E 's/^(href|src)="//; s/"$//' | grep -v '^#')
done

# Ghostscript's folder reaches the system's profiles from the new place,
# with the print shop's profile as its CMYK one.
color="$prefix/share/lapora/color"
for f in "$build"/color/gs/*.icc; do
    [[ -f "$color/gs/$(basename "$f")" ]] || fail "gs/$(basename "$f") is not installed or leads nowhere"
done
cmp -s "$color/gs/default_cmyk.icc" "$color/lapora-fogra39.icc" || fail "the installed gs/default_cmyk.icc"

desktop="$prefix/share/applications/lapora.desktop"
grep -qx 'Exec=lapora %F' "$desktop" || fail "the launcher does not pass the files to open"
grep -qx 'Name=Lapora2' "$desktop" || fail "the launcher's name"
grep -q '^MimeType=application/x-lapora-card;' "$desktop" || fail "the launcher does not open card files"
grep -q '<glob pattern="\*.bcrd"/>' "$prefix/share/mime/packages/lapora.xml" || fail "no *.bcrd pattern"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi

# The installed programs run from their new place.
echo '{"records": [{"sorszam": 1, "tipus": 0, "compnev": "lbl1", "nev": "Teszt"}]}' >"$prefix/card.json"
"$prefix/bin/lapora-cli" build "$prefix/card.json" "$prefix/card.bcrd"
"$prefix/bin/lapora-cli" dump "$prefix/card.bcrd" | grep -q '"Teszt"' || fail "the installed lapora-cli"
echo "installed layout complete"
