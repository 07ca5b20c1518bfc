#!/usr/bin/env bash
# Memory check: the whole road of one interno (tst_recorrido: the example invoices loaded, processed,
# corrected and transferred) and the database faults (tst_fallas) under valgrind. Any memory error
# or definitely lost block fails the check.
#
#   tools/memoria.sh            builds the two tests in build/ (configuring it when needed) and runs them
#   BUILD_DIR=otro tools/memoria.sh   uses another build folder
#
# Suppressions for one-time allocations of the libraries go in tools/valgrind.supp (used when present).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${BUILD_DIR:-build}"
pruebas=(tst_recorrido tst_fallas)

command -v valgrind >/dev/null || { echo "valgrind no está instalado (apt-get install valgrind)" >&2; exit 2; }
if [ ! -f "$dir/build.ninja" ] && [ ! -f "$dir/Makefile" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$dir" --target "${pruebas[@]}" -j "${JOBS:-2}"

opciones=(--leak-check=full --errors-for-leak-kinds=definite --error-exitcode=1 --num-callers=30)
[ -f tools/valgrind.supp ] && opciones+=(--suppressions=tools/valgrind.supp)
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.qpa.*=false"

for prueba in "${pruebas[@]}"; do
  echo "== valgrind: $prueba"
  valgrind "${opciones[@]}" "$dir/tests/robustez/$prueba"
done
echo "Memoria: sin errores ni pérdidas definidas."
