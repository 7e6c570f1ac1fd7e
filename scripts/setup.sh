#!/usr/bin/env bash
# Installs the Debian packages this project needs, only those that are missing.
# Works as root (CI) and through sudo otherwise. Safe to run again.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache
  clang libclang-rt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  portaudio19-dev libasound2-dev libjack-jackd2-dev jackd2 librtmidi-dev
  libwxgtk3.2-dev libglib2.0-dev xvfb xauth xdotool x11-xkb-utils xkb-data
  libfreetype-dev zlib1g-dev fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
