#!/usr/bin/env bash
# Robustness run of the readers: builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-fuzz/, and runs the three of them side by side for the
# given seconds each (60 by default) on a copy of the seed corpora of fuzz/corpus. Exits non-zero on
# any finding (crash, sanitizer report, leak, timeout of 10 s, more than 500 MB in one allocation or
# 2 GB in all) and says where the input that causes it was kept.
#
#   bash tools/fuzz.sh [segundos-por-objetivo]
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$PWD
segundos=${1:-60}
if ! [[ $segundos =~ ^[1-9][0-9]*$ ]]; then
  echo "Uso: bash tools/fuzz.sh [segundos-por-objetivo]" >&2
  exit 2
fi

bash tools/dependencias.sh
if ! command -v clang++-14 >/dev/null || ! command -v llvm-symbolizer-14 >/dev/null ||
   ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "Instalando clang-14, libclang-rt-14-dev y llvm-14"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  # Another apt run may hold the lock for a while: wait for it instead of failing.
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends \
    clang-14 libclang-rt-14-dev llvm-14
fi

compilacion=$raiz/build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$compilacion" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVIX_FUZZ=ON -DTARVIX_BUILD_TESTS=OFF -DTARVIX_WERROR="${TARVIX_WERROR:-OFF}" >/dev/null
objetivos=(xlsx xls formato)
cmake --build "$compilacion" -j "$(nproc)" --target "${objetivos[@]/#/fuzz_}"

# The inputs the targets write for the readers go to memory when there is a /dev/shm.
trabajo=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/tarvix-fuzz.XXXXXX")
trap 'rm -rf "$trabajo"' EXIT
hallazgos=$compilacion/hallazgos
rm -rf "$hallazgos"

export LSAN_OPTIONS="suppressions=$raiz/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export G_SLICE=always-malloc # glib's slabs would hide the leaks of libgsf's objects
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer

# libgsf allocates through glib, whose frames the fast unwinder cannot walk: the .xls target needs
# the slow one for its leaks to carry the stack that tools/lsan.supp matches (12 frames reach it,
# at half the cost of whole stacks). fuzz/corpus/xls/directorio_danado_libgsf.xls is such a leak.
opciones_asan() {
  if [ "$1" = xls ]; then
    echo "detect_leaks=1:fast_unwind_on_malloc=0:malloc_context_size=12"
  else
    echo "detect_leaks=1"
  fi
}

echo "Fuzzing de ${objetivos[*]}: $segundos s cada uno (a la vez); registros en $compilacion/fuzz-*.log"
pids=()
for o in "${objetivos[@]}"; do
  mkdir -p "$hallazgos/$o" "$trabajo/$o/tmp"
  cp -r "fuzz/corpus/$o" "$trabajo/$o/corpus"
  opciones=()
  [ -f "fuzz/$o.dict" ] && opciones+=("-dict=$raiz/fuzz/$o.dict")
  TMPDIR=$trabajo/$o/tmp ASAN_OPTIONS=$(opciones_asan "$o") \
    "$compilacion/fuzz/fuzz_$o" "${opciones[@]}" -max_total_time="$segundos" -rss_limit_mb=2048 \
    -malloc_limit_mb=500 -timeout=10 -print_final_stats=1 -artifact_prefix="$hallazgos/$o/" \
    "$trabajo/$o/corpus" >"$compilacion/fuzz-$o.log" 2>&1 &
  pids+=($!)
done

estado=0
for i in "${!objetivos[@]}"; do
  o=${objetivos[$i]}
  codigo=0
  wait "${pids[$i]}" || codigo=$?
  ejecuciones=$(sed -n 's/^stat::number_of_executed_units: *//p' "$compilacion/fuzz-$o.log" | tail -n1)
  entradas=$(find "$hallazgos/$o" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) | sort)
  if [ "$codigo" -eq 0 ] && [ -z "$entradas" ]; then
    echo "fuzz_$o: ${ejecuciones:-?} ejecuciones, 0 hallazgos"
    continue
  fi
  estado=1
  echo "fuzz_$o: HALLAZGO tras ${ejecuciones:-?} ejecuciones (código $codigo); registro: $compilacion/fuzz-$o.log"
  grep -m2 -E '==ERROR|runtime error|se esperaba|error inesperado|^SUMMARY' "$compilacion/fuzz-$o.log" | sed 's/^/  /' || true
  if [ -n "$entradas" ]; then
    echo "  entrada que lo provoca:"
    sed 's/^/    /' <<<"$entradas"
    echo "  reproducir: ASAN_OPTIONS=$(opciones_asan "$o") LSAN_OPTIONS=$LSAN_OPTIONS $compilacion/fuzz/fuzz_$o <entrada>"
  fi
done
exit "$estado"
