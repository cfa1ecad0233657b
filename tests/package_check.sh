#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from this build,
# unpacked into a throw-away root, every file it must hold there, the
# launcher, metainfo and file type valid, the installed programs running,
# lintian without an error.
#   package_check.sh BUILD_DIR WORK_DIR VERSION
set -euo pipefail
build=$1 work=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/lapora_"$version"_*.deb)
echo "made $(basename "$deb")"
root="$work/root"
dpkg-deb -x "$deb" "$root"

for f in usr/bin/lapora usr/bin/lapora-cli \
         usr/share/lapora/help/index.htm usr/share/lapora/help/kepek/foablak.png \
         usr/share/applications/lapora.desktop \
         usr/share/mime/packages/lapora.xml \
         usr/share/metainfo/org.example.lapora.Lapora.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/lapora.svg \
         usr/share/icons/hicolor/scalable/mimetypes/application-x-lapora-card.svg \
         usr/share/man/man1/lapora.1.gz usr/share/man/man1/lapora-cli.1.gz \
         usr/share/man/hu/man1/lapora.1.gz usr/share/man/hu/man1/lapora-cli.1.gz \
         usr/share/doc/lapora/copyright usr/share/doc/lapora/changelog.gz \
         usr/share/lapora/color/lapora-fogra39.icc; do
    [[ -f "$root/$f" ]] || fail "$f is not in the package"
done
# Ghostscript's folder: relative links, to the system's profiles where the
# package lands (the unpacked root has none) and to ours.
for f in "$build"/color/gs/*.icc; do
    name=$(basename "$f")
    link=$(readlink "$root/usr/share/lapora/color/gs/$name") || fail "gs/$name is not in the package"
    if [[ "$name" == default_cmyk.icc ]]; then
        [[ "$link" == ../lapora-fogra39.icc ]] || fail "gs/default_cmyk.icc leads to $link"
    else
        [[ "$link" == "../../../color/icc/ghostscript/$name" && -f "/usr/share/color/icc/ghostscript/$name" ]] \
            || fail "gs/$name leads to $link"
    fi
done
# A PNG's width and height from its header.
png_size() { od -An -tu4 --endian=big -j16 -N8 "$1" | awk '{print $1 "x" $2}'; }
for size in 16 24 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/lapora.png"
    [[ -f "$icon" ]] || fail "no ${size}x${size} icon"
    [[ "$(png_size "$icon")" == "${size}x${size}" ]] || fail "the ${size}x${size} icon is $(png_size "$icon")"
done

# The control file: dependencies the tools found, and the fonts the cards use.
control=$(dpkg-deb -f "$deb" Version Depends)
grep -q "^Version: $version$" <<<"$control" || fail "package version: $control"
for dep in libqt6widgets6 libqrencode4 qt6-qpa-plugins fonts-liberation2 ghostscript; do
    grep -q "$dep" <<<"$control" || fail "no dependency on $dep"
done

desktop-file-validate "$root/usr/share/applications/lapora.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.lapora.Lapora.metainfo.xml"
xmllint --noout "$root/usr/share/mime/packages/lapora.xml"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.example.lapora.Lapora.metainfo.xml" \
    || fail "the metainfo does not name version $version"

# The installed programs, from where they were unpacked.
cli="$root/usr/bin/lapora-cli"
[[ "$("$cli" --version)" == "lapora-cli $version" ]] || fail "lapora-cli --version: $("$cli" --version)"
[[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/lapora" --version)" == "lapora $version" ]] \
    || fail "lapora --version"
echo '{"records": [{"sorszam": 1, "tipus": 0, "compnev": "lbl1", "nev": "Csomag", "left": 20, "top": 20}]}' >"$work/card.json"
"$cli" build "$work/card.json" "$work/card.bcrd"
"$cli" render "$work/card.bcrd" --png "$work/card.png" --card --dpi 150
[[ "$(head -c 4 "$work/card.png" | tail -c 3)" == "PNG" && "$(png_size "$work/card.png")" != "0x0" ]] \
    || fail "the installed lapora-cli rendered no picture"

# --help and the manual pages name the same options.
options() { grep -o -E -- '--[a-z][a-z-]*' | sort -u; }
help=$("$cli" --help | options)
for page in man1/lapora-cli.1.gz hu/man1/lapora-cli.1.gz; do
    man=$(zcat "$root/usr/share/man/$page" | sed 's/\\-/-/g' | options)
    [[ "$help" == "$man" ]] || fail "$page and --help differ: $(diff <(echo "$help") <(echo "$man") | tr '\n' ' ')"
done

if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" || fail "lintian reports an error"
fi
echo "package complete"
