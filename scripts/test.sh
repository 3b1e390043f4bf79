#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers and runs every test,
# runs the batch job tests under ThreadSanitizer, then builds the fuzz targets with clang and runs each for a fixed count.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAGMORA_SANITIZE=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs" --timeout 600

# The batch jobs' threads once more under ThreadSanitizer.
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAGMORA_TSAN=ON -DTAGMORA_UI=OFF
cmake --build build/tsan -j "$jobs" --target tagmora_jobs_tests
ctest --test-dir build/tsan --output-on-failure -j "$jobs" --timeout 600 -R '^jobs\.'

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DTAGMORA_FUZZ=ON -DTAGMORA_TESTS=OFF -DTAGMORA_UI=OFF
cmake --build build/fuzz -j "$jobs"
ctest --test-dir build/fuzz --output-on-failure -j "$jobs" --timeout 600
