#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAGMORA_TESTS=OFF
cmake --build build/release -j "$(nproc)"
exec build/release/src/cli/tagmora-cli --help
