#!/usr/bin/env bash
# Installs what is missing, builds the program in build/release and makes
# the Debian package build/package/tagmora_VERSION_ARCH.deb, for
#     sudo apt install ./build/package/tagmora_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAGMORA_TESTS=OFF
cmake --build build/release -j "$(nproc)"
cpack --config build/release/CPackConfig.cmake -B build/package
ls build/package/tagmora_*.deb
