#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the unit tests
# under AddressSanitizer and UBSan, a bounded run of the fuzz targets, the test
# programs that start threads under ThreadSanitizer, then the unit tests of the
# normal build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1

# The compiler cache keeps rebuilds short, also for a clone in another folder:
# paths under the clone are hashed relative to it, the working directory is
# left out of the hash, and the debug information names the sources relative
# to the clone, so that two clones compile to the same objects.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
            "-DCMAKE_CXX_FLAGS=-fdebug-prefix-map=$PWD=." "-DCMAKE_C_FLAGS=-fdebug-prefix-map=$PWD=.")
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j"$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMC_SANITIZE=ON -DMC_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$jobs"

# The ThreadSanitizer tree holds only the test programs that start threads.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMC_TSAN=ON -DMC_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-tsan -j"$jobs"

# The live audio tests play on a JACK server with the dummy driver (no sound
# card needed). It must run before the test processes start, since they list
# the audio devices once; it is stopped when this script ends.
jack_name="mc-ci-$$"
export JACK_DEFAULT_SERVER="$jack_name" MC_REQUIRE_JACK=1
jackd --no-realtime -n "$jack_name" -d dummy -r 44100 -p 128 >build/jackd.log 2>&1 &
jack_pid=$!
trap 'kill "$jack_pid" 2>/dev/null; wait "$jack_pid" 2>/dev/null || true' EXIT
if ! jack_wait -w -t 10 >/dev/null 2>&1; then
  echo "JACK server did not start:"; cat build/jackd.log
  exit 1
fi

echo "== tests (sanitizers) =="
ctest --test-dir build-asan --output-on-failure -j"$jobs"
bash scripts/fuzz.sh

echo "== tests (thread sanitizer) =="
# Its own JACK server with 1,024-frame periods: the sanitizer makes each process
# callback several times slower, too slow for 128 frames. The two tests that
# send through the MIDI library's JACK output to a test client stay out: under
# the sanitizer those messages never reach the client (they do in the other
# trees); the MIDI delivery and sender threads run under it in the platform and
# host tests, and the program's MIDI through JACK in the live MIDI tests.
jack_tsan="mc-ci-tsan-$$"
jackd --no-realtime -n "$jack_tsan" -d dummy -r 44100 -p 1024 >build-tsan/jackd.log 2>&1 &
jack_tsan_pid=$!
trap 'kill "$jack_pid" "$jack_tsan_pid" 2>/dev/null; wait "$jack_pid" "$jack_tsan_pid" 2>/dev/null || true' EXIT
if ! JACK_DEFAULT_SERVER="$jack_tsan" jack_wait -w -t 10 >/dev/null 2>&1; then
  echo "JACK server for the sanitizer tree did not start:"; cat build-tsan/jackd.log
  exit 1
fi
JACK_DEFAULT_SERVER="$jack_tsan" \
TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -j"$jobs" -E '^(MidiJack|KnobMidiJack)\.'

echo "== tests =="
ctest --test-dir build --output-on-failure -j"$jobs"
