#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release mode and runs
# them; each figure is printed next to its floor, with the ratios last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAGMORA_BENCH=ON \
  -DTAGMORA_TESTS=OFF -DTAGMORA_UI=OFF
cmake --build build/bench -j 2
export TAGMORA_BENCH_DIR=${TAGMORA_BENCH_DIR:-$PWD/build/bench}
for program in build/bench/bench/*Bench; do
  echo "== $(basename "$program")"
  "$program" "$@"
done
