#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time: the
# card file reader, the settings file, the two metafile players, the CSV and
# vCard readers of mail merge and the QR picture reader.
# Usage: scripts/fuzz.sh [seconds]   (the total, shared out among the targets;
# at the default 60 the shortest share is 5 s)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: fuzzing skipped"
    exit 0
fi
if [[ ! -f build-fuzz/CMakeCache.txt ]]; then
    mkdir -p build-fuzz
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DLAPORA_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build-fuzz --parallel "$(nproc)" >build-fuzz/build.log 2>&1 || { cat build-fuzz/build.log; exit 1; }

# fuzz TARGET SECONDS MAX_LEN CRASHES_DIR [seed file patterns...]
# A crash, a hang past the timeout or memory past the limit fails the run;
# what made it is left in build-fuzz/crashes/ to become a regression file.
fuzz() {
    local target=$1 time=$2 max_len=$3 crashes=$4
    shift 4
    local corpus=build-fuzz/corpus-$target
    mkdir -p "$corpus" build-fuzz/crashes "$crashes"
    for seed in "$@"; do
        cp -n $seed "$corpus"/ 2>/dev/null || true
    done
    # A target whose words are compared where the fuzzer cannot see gets them
    # from its dictionary.
    local dict=()
    [[ -f fuzz/$target.dict ]] && dict=(-dict="fuzz/$target.dict")
    echo "Fuzzing $target for ${time}s"
    LSAN_OPTIONS=suppressions=fuzz/lsan.supp build-fuzz/"$target" "${dict[@]}" -max_total_time="$time" -print_final_stats=1 -max_len="$max_len" \
        -artifact_prefix=build-fuzz/crashes/"$target"- -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
        "$corpus" "$crashes" 2>build-fuzz/"$target".log \
        || { tail -n 40 build-fuzz/"$target".log; echo "$target found a crash: see build-fuzz/crashes/"; exit 1; }
    grep -E '^stat::number_of_executed_units' build-fuzz/"$target".log || true
}

export QT_QPA_PLATFORM=offscreen
# Shares of the total in sixtieths: 12 + 5 + 10 + 10 + 8 + 8 + 7. A share
# is at least a second: libFuzzer takes no time limit as none at all.
share() {
    local time=$((seconds * $1 / 60))
    echo $((time > 0 ? time : 1))
}
fuzz card_file_fuzz "$(share 12)" 65536 tests/storage/data/crashes 'tests/storage/data/*.bcrd'
fuzz ini_file_fuzz "$(share 5)" 65536 tests/app/data/ini-crashes 'tests/app/data/*.ini'
# The players start from the drawn fixtures and every input that once broke one.
fuzz emf_fuzz "$(share 10)" 262144 tests/metafile/data/crashes 'tests/metafile/data/*.emf'
fuzz wmf_fuzz "$(share 10)" 262144 tests/metafile/data/crashes 'tests/metafile/data/*.wmf'
# The merge readers start from small lists in both encodings, vCards of
# version 2.1 with quoted-printable values in both character sets, folded
# lines, and one as a phone exports it.
fuzz csv_fuzz "$(share 8)" 65536 tests/merge/data/crashes 'tests/merge/data/*.csv'
fuzz vcard_fuzz "$(share 8)" 65536 tests/merge/data/crashes 'tests/merge/data/*.vcf'
# Codes our own code made.
fuzz qr_picture_fuzz "$(share 7)" 65536 tests/layer/data/crashes 'tests/layer/data/*.png'
