#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz), writes their seed corpus with
# the normal build's tests, and runs them: the song, instrument and WAV readers,
# and songs played through the engine.
#
#   scripts/fuzz.sh                         bounded run: every target side by side
#                                           for FUZZ_SECONDS (45 by default)
#   scripts/fuzz.sh --soak MINUTES [-j N]   soak: N fuzzing processes in all (every
#                                           core by default) shared out among the
#                                           targets for MINUTES, their corpora merged
#                                           afterwards; prints the executions of each
#   --targets "song wave ..."               only these targets (song, instrument,
#                                           wave, engine)
#
# An input that crashes, hangs (10 s), leaks or needs more than 2 GB is written
# into tests/data/fixtures/<reader>/ (the engine target's into
# tests/data/fixtures/engine/), to be kept there as a regression fixture once
# the fault is mended. Needs the normal build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-45}
soak_minutes=
jobs=$(nproc)
targets="song instrument wave engine"
while [ $# -gt 0 ]; do
  case "$1" in
    --soak) soak_minutes=$2; shift 2 ;;
    -j) jobs=$2; shift 2 ;;
    -j*) jobs=${1#-j}; shift ;;
    --targets) targets=$2; shift 2 ;;
    *) echo "usage: $0 [--soak MINUTES] [-j JOBS] [--targets \"song instrument wave engine\"]" >&2; exit 2 ;;
  esac
done

# Program, seed folder and fixture folder of each target.
program() { case "$1" in engine) echo song_engine_fuzz ;; *) echo "$1_reader_fuzz" ;; esac; }
seeds() { case "$1" in engine) echo song ;; *) echo "$1" ;; esac; }
# Processes of a soak per target, by weight: the song targets are the slowest.
weight() { case "$1" in song) echo 3 ;; engine) echo 2 ;; instrument) echo 2 ;; *) echo 1 ;; esac; }

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
            "-DCMAKE_CXX_FLAGS=-fdebug-prefix-map=$PWD=." "-DCMAKE_C_FLAGS=-fdebug-prefix-map=$PWD=.")
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMC_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$jobs" >/dev/null

rm -rf build-fuzz/seeds
MC_SEED_DIR="$PWD/build-fuzz/seeds" build/data_tests --gtest_filter='SeedCorpus.*' >/dev/null

# Options every run shares; the logs go into build-fuzz/logs.
rm -rf build-fuzz/logs
mkdir -p build-fuzz/logs tests/data/fixtures/engine
options=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1)

# start TARGET SECONDS INDEX: one fuzzing process in the background.
pids=()
names=()
start() {
  local t=$1 secs=$2 i=$3
  mkdir -p "build-fuzz/corpus/$t"
  local inputs=("build-fuzz/corpus/$t" "build-fuzz/seeds/$(seeds "$t")" "tests/data/fixtures/$(seeds "$t")")
  if [ "$t" = engine ]; then inputs+=(tests/data/fixtures/engine); fi
  # The demo song is the one seed that sounds.
  if [ "$t" = engine ] || [ "$t" = song ]; then inputs+=(songs); fi
  ${pin[@]+"${pin[@]}"} "build-fuzz/$(program "$t")" "${inputs[@]}" -max_total_time="$secs" "${options[@]}" \
    -artifact_prefix="tests/data/fixtures/$t/" >"build-fuzz/logs/$t.$i.log" 2>&1 &
  pids+=($!)
  names+=("$t.$i")
}

pin=()
if [ -z "$soak_minutes" ]; then
  echo "== fuzzing: $targets, ${seconds} s each =="
  for t in $targets; do start "$t" "$seconds" 0; done
else
  secs=$((soak_minutes * 60))
  # Shares by weight, at least one process each; fewer processes than targets
  # are kept on N cores.
  total=0
  for t in $targets; do total=$((total + $(weight "$t"))); done
  count=0
  declare -A share
  for t in $targets; do
    share[$t]=$(( jobs * $(weight "$t") / total ))
    [ "${share[$t]}" -lt 1 ] && share[$t]=1
    count=$((count + share[$t]))
  done
  # Processes left over by the rounding go to the targets in order.
  while [ "$count" -lt "$jobs" ]; do
    for t in $targets; do
      [ "$count" -lt "$jobs" ] || break
      share[$t]=$((share[$t] + 1)); count=$((count + 1))
    done
  done
  if [ "$count" -gt "$jobs" ] && command -v taskset >/dev/null; then
    cpus=$(taskset -pc $$ | sed 's/.*: //')
    first=$(echo "$cpus" | cut -d, -f1 | cut -d- -f1)
    pin=(taskset -c "$first-$((first + jobs - 1))")
  fi
  echo "== fuzz soak: ${soak_minutes} min, $jobs processes =="
  for t in $targets; do
    echo "   $t: ${share[$t]} process(es)"
    for ((i = 0; i < share[$t]; i++)); do start "$t" "$secs" "$i"; done
  done
fi

failed=0
for k in "${!pids[@]}"; do
  if ! wait "${pids[$k]}"; then
    failed=1
    echo "fuzz ${names[$k]}: FAULT FOUND; log follows (input kept in tests/data/fixtures/${names[$k]%.*}/)"
    tail -60 "build-fuzz/logs/${names[$k]}.log"
  fi
done

# Executions of each target, all its processes together.
for t in $targets; do
  runs=0
  secs=0
  for log in build-fuzz/logs/"$t".*.log; do
    n=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    # A process stopped early has no final statistics: its last status line counts.
    [ -n "$n" ] || n=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#' || true)
    s=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | tail -1 | awk '{print $5}' || true)
    runs=$((runs + ${n:-0}))
    secs=$((secs + ${s:-0}))
  done
  rate=0
  [ "$secs" -gt 0 ] && rate=$((runs / secs))
  echo "fuzz $t: $runs runs ($rate per second per process)"
done

if [ -n "$soak_minutes" ]; then
  # The corpora of the processes are one folder per target already; merging
  # keeps the inputs that add coverage.
  for t in $targets; do
    rm -rf "build-fuzz/corpus/$t.merged"
    mkdir -p "build-fuzz/corpus/$t.merged"
    if "build-fuzz/$(program "$t")" -merge=1 -timeout=10 -rss_limit_mb=2048 "build-fuzz/corpus/$t.merged" \
         "build-fuzz/corpus/$t" >"build-fuzz/logs/$t.merge.log" 2>&1; then
      rm -rf "build-fuzz/corpus/$t"
      mv "build-fuzz/corpus/$t.merged" "build-fuzz/corpus/$t"
      echo "fuzz $t: corpus merged, $(ls "build-fuzz/corpus/$t" | wc -l) inputs"
    else
      failed=1
      echo "fuzz $t: merge FAILED; log in build-fuzz/logs/$t.merge.log"
    fi
  done
fi
exit "$failed"
