#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on its embedded defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/dependencias.sh
bash tools/compilar.sh
exec ./build/src/tarvix "$@"
