#!/usr/bin/env bash
# Starts the real program under Xvfb and closes it as a window manager
# would. The first run starts without settings and writes them; the second
# reads what is on disk and must write back the same values, so a key that
# is not read or not written shows up as a difference. The third is opened
# with a folder and a playlist, and a second start hands it one more file.
#
# Usage: StartAndClose.sh PROGRAM CLOSER
set -euo pipefail
program=$1
closer=$2
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/deps.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
pid=""
cleanup() {
  if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The program keeps its files beside itself when that folder is writable.
mkdir "$work/bin" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/bin/tagmora"
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$work/display")"

run() {
  "$work/bin/tagmora" "$@" >"$work/run.log" 2>&1 &
  pid=$!
  close
}
close() {
  # The window is up; give the start-up timer its moment, then close.
  if ! "$closer" Tagmora 60 500; then
    kill "$pid" 2>/dev/null || true
    cat "$work/run.log"
    exit 1
  fi
  local status=0
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not end after the close request"
    kill "$pid"
    exit 1
  fi
  wait "$pid" || status=$?
  if [[ $status -ne 0 ]]; then
    echo "the program ended with status $status"
    cat "$work/run.log"
    exit 1
  fi
}

fail() { echo "FAIL: $*"; exit 1; }
value() {  # value SECTION KEY: the value of a key of settings.ini
  awk -v s="[$1]" -v k="$2" '
    { sub(/\r$/, "") }
    /^\[/ { in_s = ($0 == s); next }
    in_s && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }
  ' "$work/bin/settings.ini"
}

# First run: no settings yet. The defaults and an empty list are written.
run
[[ -f "$work/bin/settings.ini" ]] || fail "no settings.ini after the first run"
[[ "$(value Form1 ActivePage)" == "0" ]] || fail "ActivePage is '$(value Form1 ActivePage)'"
[[ "$(value Errors Flash)" == "1" ]] || fail "Errors Flash is '$(value Errors Flash)'"
[[ "$(value FormOpen LastDir)" == "$work/bin/" ]] || fail "LastDir is '$(value FormOpen LastDir)'"
printf '#EXTM3U\r\n' | cmp -s - "$work/bin/playlist.m3u" || fail "playlist.m3u of an empty list"
[[ ! -e "$XDG_CONFIG_HOME" ]] || fail "wrote to XDG_CONFIG_HOME although the program folder is writable"

# Change the files as an earlier session would have left them.
sed -i -e 's/^ActivePage=0/ActivePage=5/' -e 's/^Flash=1/Flash=0/' -e 's/^Beep=1/Beep=0/' \
  "$work/bin/settings.ini"
mkdir "$work/music"
lines() { printf '#EXTM3U\r\n'; printf '%s\r\n' "$@"; }
lines "$work/music/b.mp3" "$work/music/A.mp3" "relative/c.mp3" >"$work/bin/playlist.m3u"
# A relative entry belongs to the playlist's folder.
saved=("$work/music/b.mp3" "$work/music/A.mp3" "$work/bin/relative/c.mp3")
lines "${saved[@]}" >"$work/expected.m3u"

# Second run: what it read comes back out unchanged.
run
[[ "$(value Form1 ActivePage)" == "5" ]] || fail "ActivePage came back as '$(value Form1 ActivePage)'"
[[ "$(value Errors Flash)" == "0" ]] || fail "Errors Flash came back as '$(value Errors Flash)'"
[[ "$(value Errors Beep)" == "0" ]] || fail "Errors Beep came back as '$(value Errors Beep)'"
cmp -s "$work/expected.m3u" "$work/bin/playlist.m3u" || fail "the playlist did not come back"

# Opened with a folder and a playlist, relative to the folder it starts in:
# they follow the saved list. A second start hands its file to the open
# window and ends at once.
mkdir -p "$work/music/sub" "$work/lists" "$work/other"
for file in music/A.mp3 music/b.mp3 music/sub/c.mp3 other/d.mp3 other/e.mp3; do : >"$work/$file"; done
printf '#EXTINF:1,D\n../other/d.mp3\n' >"$work/lists/mine.m3u"
cd "$work"
"$work/bin/tagmora" music lists/mine.m3u >"$work/run.log" 2>&1 &
pid=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Tagmora$' >/dev/null || fail "no window"
timeout 60 "$work/bin/tagmora" other/e.mp3 || fail "the second start ended with status $?"
kill -0 "$pid" 2>/dev/null || fail "the first window ended"
[[ $(xdotool search --onlyvisible --name '^Tagmora$' | wc -l) -eq 1 ]] || fail "more than one window"
close
lines "${saved[@]}" "$work/music/A.mp3" "$work/music/b.mp3" "$work/music/sub/c.mp3" \
  "$work/other/d.mp3" "$work/other/e.mp3" >"$work/expected.m3u"
cmp -s "$work/expected.m3u" "$work/bin/playlist.m3u" ||
  fail "opened: $(tr '\r\n' ' |' <"$work/bin/playlist.m3u")"

# A program folder that cannot be written sends the files to the user's
# configuration folder.
if [[ $(id -u) -ne 0 ]]; then
  rm "$work/bin/settings.ini" "$work/bin/playlist.m3u"
  chmod a-w "$work/bin"
  run
  chmod u+w "$work/bin"
  [[ -f "$XDG_CONFIG_HOME/tagmora/settings.ini" ]] || fail "no settings.ini in XDG_CONFIG_HOME"
  [[ ! -e "$work/bin/settings.ini" ]] || fail "settings.ini in a read-only program folder"
fi
echo "start and close: settings and playlist written and read back, paths opened from outside"
