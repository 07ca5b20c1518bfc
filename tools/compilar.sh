#!/usr/bin/env bash
# Configures and builds into build/ (warnings on; TARVIX_WERROR=ON turns them into errors).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIX_WERROR="${TARVIX_WERROR:-OFF}" "$@"
cmake --build build -j "$(nproc)"
