#!/usr/bin/env bash
# The print shop's CMYK profile as built: a CMYK output profile with Lab as
# its connection space and tables both ways; true to the measurements it was
# made from; separating within the inks a coated press takes; and
# Ghostscript's profile folder converting through it.
#   color_profile.sh COLOR_DIR TI3 GHOSTSCRIPT_ICC_DIR
set -euo pipefail
color=$1 ti3=$2 system=$3
profile=$color/lapora-fogra39.icc
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The header and the tag table, read as the ICC format lays them out: the
# size, then at 12 the class, the colour space and the connection space; at
# 128 the number of tags and their 12-byte entries, each led by its name.
u32() { od -An -tu4 --endian=big -j"$2" -N4 "$1" | tr -d ' '; }
[[ "$(u32 "$profile" 0)" == "$(stat -c %s "$profile")" ]] || fail "the profile's size is not the file's"
[[ "$(dd if="$profile" bs=1 skip=12 count=12 2>/dev/null)" == "prtrCMYKLab " ]] \
    || fail "not a CMYK output profile with a Lab connection space"
tags=" "
for ((i = 0; i < $(u32 "$profile" 128); i++)); do
    tags+="$(dd if="$profile" bs=1 skip=$((132 + 12 * i)) count=4 2>/dev/null) "
done
for tag in desc cprt wtpt A2B0 A2B1 B2A0 B2A1; do
    [[ "$tags" == *" $tag "* ]] || fail "no $tag tag (tags:$tags)"
done
grep -q -a 'Lapora FOGRA39 (ISO 12647-2 coated)' "$profile" || fail "the profile's description"

# transicc's numbers for one colour: -i IN -o OUT with an intent and flags.
convert() { local values=$1; shift; echo "$values" | transicc -n "$@" 2>/dev/null | awk 'NF {print; exit}'; }
# The CIE76 colour difference of two Lab triples.
delta_e() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " ");
    print sqrt((x[1]-y[1])^2 + (x[2]-y[2])^2 + (x[3]-y[3])^2) }'; }
# Whether an awk condition holds for the numbers $1, $2, ... of a line.
holds() { awk -v v="$1" "BEGIN { split(v, c, \" \"); exit !($2) }"; }

# Measured patches, from the paper to four-colour mixtures: printed through
# the profile (absolute colorimetric) they come back as measured; and the
# measured colour separated and printed again comes back too, so both tables
# are true to the press (except on the gamut's edge, an ink at 100 %, where
# the separation may clip).
for id in 1 300 823 854 1000 1200 1500; do
    IFS='|' read -r cmyk measured < <(awk -v id="$id" '$1 == id && NF == 11 { print $2 " " $3 " " $4 " " $5 "|" $9 " " $10 " " $11 }' "$ti3")
    [[ -n "$cmyk" ]] || fail "no patch $id in $ti3"
    printed=$(convert "$cmyk" -i "$profile" -o '*Lab' -t3)
    holds "$(delta_e "$printed" "$measured")" 'c[1] <= 2' \
        || fail "patch $id ($cmyk) prints as $printed, measured $measured"
    holds "$cmyk" 'c[1] < 100 && c[2] < 100 && c[3] < 100 && c[4] < 100' || continue
    separated=$(convert "$measured" -i '*Lab' -o "$profile" -t3)
    again=$(convert "$separated" -i "$profile" -o '*Lab' -t3)
    holds "$(delta_e "$again" "$measured")" 'c[1] <= 2' \
        || fail "patch $id's colour $measured separates as $separated and prints as $again"
done

# The paper itself takes no ink.
paper=$(convert '95 0 -2' -i '*Lab' -o "$profile" -t3)
holds "$paper" 'c[1] < 1 && c[2] < 1 && c[3] < 1 && c[4] < 1' || fail "the paper's white separates as $paper"

# Screen black and deep colours (relative colorimetric, as the PDF's
# content converts) stay within 300 % ink and 95 % black; black is a rich
# black led by the black ink.
srgb=$system/default_rgb.icc
black=$(convert '0 0 0' -i "$srgb" -o "$profile" -t1)
holds "$black" 'c[4] >= 85 && c[1] + c[2] + c[3] + c[4] >= 250' || fail "screen black separates as $black"
for rgb in '0 0 0' '0 0 90' '70 30 0' '40 0 40' '20 40 20'; do
    cmyk=$(convert "$rgb" -i "$srgb" -o "$profile" -t1)
    holds "$cmyk" 'c[1] + c[2] + c[3] + c[4] <= 300.5 && c[4] <= 95.5' \
        || fail "RGB $rgb separates as $cmyk, past the ink limits"
done

# Ghostscript's folder: every profile of the system's, the CMYK one ours.
for f in "$system"/*.icc; do
    [[ -f "$color/gs/$(basename "$f")" ]] || fail "gs/$(basename "$f") is missing"
done
cmp -s "$color/gs/default_cmyk.icc" "$profile" || fail "gs/default_cmyk.icc is not the print shop's profile"
# And Ghostscript converting to CMYK through it: an RGB fill comes out as
# our profile separates it (Ghostscript compensates the black point).
printf '%%!PS\n0.8 0.2 0.1 setrgbcolor 10 10 100 100 rectfill showpage\n' >"$work/fill.ps"
gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=pdfwrite -sColorConversionStrategy=CMYK -dCompressPages=false \
    -sICCProfilesDir="$color/gs/" -sOutputFile="$work/fill.pdf" "$work/fill.ps"
written=$(grep -a -E '^[0-9. ]+ k$' "$work/fill.pdf" | head -1 | awk '{ print $1 * 100, $2 * 100, $3 * 100, $4 * 100 }')
expected=$(convert '204 51 25.5' -i "$srgb" -o "$profile" -t1 -b)
holds "$written $expected" '(c[1]-c[5])^2 < 4 && (c[2]-c[6])^2 < 4 && (c[3]-c[7])^2 < 4 && (c[4]-c[8])^2 < 4' \
    || fail "Ghostscript wrote the fill as CMYK ${written:-(none)}, the profile gives $expected"
echo "print shop profile complete"
