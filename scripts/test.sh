#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the unit tests
# under AddressSanitizer and UBSan, a bounded run of the file reader fuzz
# targets, then the unit tests of the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMC_SANITIZE=ON -DMC_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"

echo "== tests (sanitizers) =="
ctest --test-dir build-asan --output-on-failure -j"$jobs"
bash scripts/fuzz.sh

echo "== tests =="
ctest --test-dir build --output-on-failure -j"$jobs"
