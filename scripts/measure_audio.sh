#!/usr/bin/env bash
# Runs the audio output measurement on a JACK dummy server at 44,100 Hz with a
# 128-frame period (started here and stopped at the end).
# Usage: bash scripts/measure_audio.sh [audio_latency options]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target audio_latency >/dev/null
name="mc-measure-$$"
export JACK_DEFAULT_SERVER="$name"
jackd --no-realtime -n "$name" -d dummy -r 44100 -p 128 >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true' EXIT
jack_wait -w -t 10 >/dev/null 2>&1
./build/tools/audio_latency "$@"
