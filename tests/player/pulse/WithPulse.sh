#!/usr/bin/env bash
# Runs the mixer tests against a private PulseAudio server: two null sinks,
# a null source, and a socket that takes anonymous clients, all inside a
# temporary folder. The server is stopped by its own pid.
#
# Usage: WithPulse.sh TEST-PROGRAM [ARGUMENTS...]
set -euo pipefail
command -v pulseaudio >/dev/null && command -v pactl >/dev/null || {
  echo "pulseaudio or pactl is missing (scripts/deps.sh installs them); skipped"
  exit 77
}

work=$(mktemp -d)
server=""
cleanup() {
  if [[ -n "$server" ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
export PULSE_SERVER="unix:$work/runtime/native"
# Without norewinds every new stream on a null sink stalls for two seconds.
cat >"$work/server.pa" <<PA
load-module module-null-sink sink_name=first sink_properties=device.description=First norewinds=1
load-module module-null-sink sink_name=second sink_properties=device.description=Second norewinds=1
load-module module-null-source source_name=microphone description=Microphone
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/runtime/native
set-default-sink first
set-default-source first.monitor
PA

# As root (CI) the server must be told that it is not the system's.
pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
  --system=false --realtime=false --high-priority=false --log-target=stderr \
  >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  kill -0 "$server" 2>/dev/null || { echo "the sound server ended:"; cat "$work/server.log"; exit 1; }
  sleep 0.1
done
pactl info >/dev/null 2>&1 || { echo "the sound server does not answer:"; cat "$work/server.log"; exit 1; }

"$@"
