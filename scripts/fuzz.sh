#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for a bounded time: the card
# file reader and the two metafile players share the seconds given.
# Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
share=$(( seconds / 3 > 0 ? seconds / 3 : 1 ))
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
mkdir -p build-fuzz/crashes

# run NAME CORPUS SEEDS... : one fuzzer for its share of the time.
run() {
    local name=$1 corpus=$2
    shift 2
    mkdir -p "$corpus"
    echo "Fuzzing ${name} for ${share}s"
    LSAN_OPTIONS=suppressions=fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
        build-fuzz/"$name" -max_total_time="$share" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/crashes/"$name"- -timeout=10 -rss_limit_mb=2048 \
        "$corpus" "$@" 2>build-fuzz/"$name".log \
        || { tail -n 40 build-fuzz/"$name".log; echo "The fuzzer found a crash: see build-fuzz/crashes/"; exit 1; }
    grep -E '^stat::number_of_executed_units' build-fuzz/"$name".log || true
}

mkdir -p build-fuzz/corpus
cp -n tests/storage/data/*.bcrd build-fuzz/corpus/ 2>/dev/null || true
run card_file_fuzz build-fuzz/corpus tests/storage/data/crashes

# The players start from the drawn fixtures and every input that once broke one.
mkdir -p build-fuzz/corpus-emf build-fuzz/corpus-wmf
cp -n tests/metafile/data/*.emf build-fuzz/corpus-emf/ 2>/dev/null || true
cp -n tests/metafile/data/*.wmf build-fuzz/corpus-wmf/ 2>/dev/null || true
run emf_fuzz build-fuzz/corpus-emf tests/metafile/data/crashes
run wmf_fuzz build-fuzz/corpus-wmf tests/metafile/data/crashes
