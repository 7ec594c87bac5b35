#!/usr/bin/env bash
# Installs the Debian packages Scribbix needs to build, run and test.
# Usage: scripts/deps.sh [build|test|bench]   (each level includes the ones before it)
set -euo pipefail
level=${1:-build}

pkgs=(build-essential cmake pkg-config libsdl2-dev libx11-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
      libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev libfreetype-dev fonts-dejavu-core)
if [ "$level" = test ] || [ "$level" = bench ]; then
  # Program tests: a virtual X server, xdotool for input, xwininfo (x11-utils) for geometry,
  # xwd (x11-apps) for screenshots; python3 checks
  # written PNG files with a decoder that is not ours; clang and libFuzzer for the short fuzz run.
  pkgs+=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-apps x11-utils python3
         clang libclang-rt-14-dev)
fi
if [ "$level" = bench ]; then
  pkgs+=(libbenchmark-dev libmypaint-dev)
fi
# A program started without a display still needs an X server to show its window.
if [ "$level" = build ] && [ -z "${DISPLAY:-}" ]; then
  pkgs+=(xvfb xauth)
fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
