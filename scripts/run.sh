#!/usr/bin/env bash
# Installs what is missing, builds the program and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAGMORA_TESTS=OFF
# Everything, so that `cmake --install build/release` finds what it installs.
cmake --build build/release -j "$(nproc)"
program=build/release/src/ui/tagmora
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  cat >&2 <<MSG
Tagmora is built, but this session has no display (DISPLAY and
WAYLAND_DISPLAY are not set). Start it from a desktop session with

    $program

or, on a machine without a screen, under a virtual display:

    xvfb-run -a $program

(scripts/screenshot.sh shows what the window looks like.)
MSG
  exit 1
fi
exec "$program"
