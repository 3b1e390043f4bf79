#!/usr/bin/env bash
# run-fuzzer.sh TARGET RUNS SEED_DIR
# Runs a libFuzzer target for RUNS inputs. New inputs go to a scratch
# folder; the seed folders (read-only) are only read.
set -euo pipefail
target=$1 runs=$2 seeds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dirs=("$work")
for d in "$seeds/peers" "$seeds/generated"; do
  [[ -d "$d" ]] && dirs+=("$d")
done
exec "$target" -runs="$runs" -max_len=65536 -rss_limit_mb=2048 -timeout=20 "${dirs[@]}"
