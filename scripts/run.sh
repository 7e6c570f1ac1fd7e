#!/usr/bin/env bash
# Sets the machine up, builds the program and starts it in the folder of the
# default song, which it greets the user with.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target morvelcanopy

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Morvel Canopy is built (build/morvelcanopy), but there is no graphical display to start it on." >&2
  echo "Run this command again from a desktop session." >&2
  exit 1
fi
program="$PWD/build/morvelcanopy"
args=()
for a in "$@"; do args+=("$(realpath -m -- "$a")"); done  # names stay valid after the change of folder
if [ -d songs ]; then cd songs; fi
exec "$program" "${args[@]}"
