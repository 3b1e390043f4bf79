#!/usr/bin/env bash
# run-fuzzer.sh TARGET RUNS SEED_DIR
# Runs a libFuzzer target for RUNS inputs. New inputs go to a scratch
# folder; the seed folders (read-only) are only read.
set -euo pipefail
target=$1 runs=$2 seeds=$3
work=$(mktemp -d)
# The rewrites' undo journal goes to a folder of the run's own (on tmpfs
# where there is one, as the fuzzer's scratch file does), never the user's.
state=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$state"' EXIT
export XDG_STATE_HOME=$state
dirs=("$work")
# Inputs that once failed run first, every time.
regressions=$(dirname "$0")/regressions/$(basename "$target")
for d in "$regressions" "$seeds/peers" "$seeds/generated"; do
  [[ -d "$d" ]] && dirs+=("$d")
done
exec "$target" -runs="$runs" -max_len=65536 -rss_limit_mb=2048 -timeout=20 "${dirs[@]}"
