#!/usr/bin/env bash
# Builds the file reader fuzz targets with clang (build-fuzz), writes their seed
# corpus with the normal build's tests, and runs the song, instrument and WAV
# targets side by side for FUZZ_SECONDS each (45 by default). An input that
# crashes a reader is written into tests/data/fixtures/<reader>/, to be kept
# there as a regression fixture once the fault is mended. Needs the normal
# build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-45}
jobs=$(nproc)
echo "== fuzzing: song, instrument and WAV readers, ${seconds} s each =="

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMC_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$jobs" >/dev/null

rm -rf build-fuzz/seeds
MC_SEED_DIR="$PWD/build-fuzz/seeds" build/data_tests --gtest_filter='SeedCorpus.*' >/dev/null

pids=()
for reader in song instrument wave; do
  mkdir -p "build-fuzz/corpus/$reader"
  build-fuzz/${reader}_reader_fuzz "build-fuzz/corpus/$reader" "build-fuzz/seeds/$reader" \
    "tests/data/fixtures/$reader" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="tests/data/fixtures/$reader/" -print_final_stats=1 >"build-fuzz/$reader.log" 2>&1 &
  pids+=($!)
done

failed=0
i=0
for reader in song instrument wave; do
  if wait "${pids[$i]}"; then
    runs=$(grep -o 'Done [0-9]* runs in [0-9]* second' "build-fuzz/$reader.log" | tail -1)
    echo "fuzz $reader: no fault (${runs:-no summary})"
  else
    failed=1
    echo "fuzz $reader: FAULT FOUND; log follows (input kept in tests/data/fixtures/$reader/)"
    tail -60 "build-fuzz/$reader.log"
  fi
  i=$((i + 1))
done
exit "$failed"
