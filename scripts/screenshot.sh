#!/usr/bin/env bash
# Builds the program, starts it under Xvfb with a sample playlist and saves
# a picture of its main window (default: docs/main-window.png).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/main-window.png}")
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAGMORA_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target tagmora

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, so that the picture never shows (or
# changes) the user's settings and playlist.
mkdir -p "$work/bin" "$work/runtime"
chmod 700 "$work/runtime"
cp build/release/src/ui/tagmora "$work/bin/"
{
  printf '#EXTM3U\r\n'
  for album in "Northern Lights/2019 - Aurora" "The Quiet Rooms/2021 - Paper Walls"; do
    for track in "01 - Opening" "02 - Long Way Home" "03 - Glass Harbour" "04 - Small Hours"; do
      printf '/home/ann/Music/%s/%s.mp3\r\n' "$album" "$track"
    done
  done
} >"$work/bin/playlist.m3u"

export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

"$work/bin/tagmora" >/dev/null 2>&1 &
app_pid=$!
window=$(xdotool search --sync --onlyvisible --name '^Tagmora$' | head -n 1)
sleep 1  # the start-up timer loads the playlist
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "saved $out"
