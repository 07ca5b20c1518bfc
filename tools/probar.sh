#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless: the windows use the offscreen
# platform, the settings and data folders are the tests' own).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/dependencias.sh
bash tools/compilar.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"
