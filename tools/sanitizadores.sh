#!/usr/bin/env bash
# The whole test suite under AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer: a
# debug build with the standard library's own checks into build-asan/, then ctest there. Any report
# fails the test that caused it. tools/lsan.supp silences leaks that belong to the system libraries
# only. Without the TARVIX_PG_* variables (tools/probar.sh sets them) the server tests are skipped.
#
#   bash tools/sanitizadores.sh [argumentos de ctest...]
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$PWD

bash tools/dependencias.sh

compilacion=$raiz/build-asan
banderas="-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
banderas+=" -D_GLIBCXX_ASSERTIONS"
# Debug (Qt's and our assertions on) with line tables only: enough for the reports' stacks, and a
# quicker build than full debug information.
cmake -S . -B "$compilacion" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTARVIX_WERROR=OFF \
  -DTARVIX_BUILD_TESTS=ON -DTARVIX_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$banderas" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$compilacion" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# The tests' time limits stretch for this build.
export TARVIX_SANITIZADORES=1
# The freed-memory quarantine is kept to 32 MB (256 by default): a test checks that the worst
# workbook costs the reader under 500 MB at its peak, and the quarantine counts in that peak.
export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=32:detect_stack_use_after_return=1"
ASAN_OPTIONS+=":strict_string_checks=1:check_initialization_order=1"
# glib keeps small blocks (libgsf's objects among them) in slabs of its own unless told otherwise,
# and LeakSanitizer cannot see a leak inside a slab.
export G_SLICE=always-malloc
export LSAN_OPTIONS="suppressions=$raiz/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$compilacion" --output-on-failure -j "$(nproc)" "$@"
