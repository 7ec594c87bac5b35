#!/usr/bin/env bash
# Builds Scribbix (Release) and starts it. Installs missing Debian packages first.
# Without a display (no $DISPLAY) the program runs inside a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSX_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target scribbix
if [ -n "${DISPLAY:-}" ]; then
  exec build-release/src/app/scribbix
else
  exec xvfb-run -a -s "-screen 0 ${SX_XVFB_SCREEN:-1920x1080x24}" build-release/src/app/scribbix
fi
