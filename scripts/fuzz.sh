#!/usr/bin/env bash
# Builds the card file fuzzer with clang and runs it for a bounded time.
# Usage: scripts/fuzz.sh [seconds]
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
corpus=build-fuzz/corpus
mkdir -p "$corpus" build-fuzz/crashes
cp -n tests/storage/data/*.bcrd "$corpus"/ 2>/dev/null || true
echo "Fuzzing the card file reader for ${seconds}s"
build-fuzz/card_file_fuzz -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/crashes/ -timeout=10 -rss_limit_mb=2048 \
    "$corpus" tests/storage/data/crashes 2>build-fuzz/fuzz.log \
    || { tail -n 40 build-fuzz/fuzz.log; echo "The fuzzer found a crash: see build-fuzz/crashes/"; exit 1; }
grep -E '^stat::number_of_executed_units' build-fuzz/fuzz.log || true
