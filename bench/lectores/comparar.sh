#!/usr/bin/env bash
# Our invoice load against the peers' (openpyxl read-only for .xlsx, xlrd for .xls) on the same
# generated files: whole process against whole process, and in-process median against in-process
# median. Prints the times, our peak memory and the ratios peer / ours.
#
#   bench/lectores/comparar.sh [CARPETA]
#
# CARPETA receives the generated invoices (default: a folder under ${TMPDIR:-/tmp}). Variables:
# BUILD_DIR (default build-bench/ of the repository), CORRIDAS (whole-process runs, default 11),
# NICE (niceness of every measured command, default 0).
# Installs what is missing (Debian packages: libbenchmark-dev, gnumeric for ssconvert, hyperfine,
# time, python3-openpyxl, python3-xlrd, python3-xlsxwriter, and the program's own).
set -euo pipefail

aqui=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
raiz=$(cd "$aqui/../.." && pwd)
carpeta=${1:-${TMPDIR:-/tmp}/tarvix-planillas-bench}
build=${BUILD_DIR:-$raiz/build-bench}
corridas=${CORRIDAS:-11}
nicel=${NICE:-0}

# What the program itself needs, then the benchmark's and the peers' packages.
bash "$raiz/tools/dependencias.sh"
falta=
for t in hyperfine ssconvert /usr/bin/time; do command -v "$t" >/dev/null || falta=1; done
[ -f /usr/include/benchmark/benchmark.h ] || falta=1
/usr/bin/python3 -c 'import openpyxl, xlrd, xlsxwriter' 2>/dev/null || falta=1
if [ -n "$falta" ]; then
    [ "$(id -u)" -ne 0 ] && sudo=sudo || sudo=
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends libbenchmark-dev gnumeric hyperfine time \
        python3-openpyxl python3-xlrd python3-xlsxwriter
fi

trabajo=$(mktemp -d)
trap 'rm -rf "$trabajo"' EXIT

echo "== Planillas en $carpeta"
/usr/bin/python3 "$aqui/generar.py" "$carpeta"

echo "== Compilando bench_carga en $build"
cmake -S "$raiz" -B "$build" -G Ninja -DTARVIX_BUILD_BENCH=ON -DTARVIX_BUILD_TESTS=OFF \
    >"$trabajo/cmake.log" ||
    { cat "$trabajo/cmake.log" >&2; exit 1; }
nice ninja -C "$build" -j2 bench_carga >"$trabajo/ninja.log" || { cat "$trabajo/ninja.log" >&2; exit 1; }
bench="$build/bench/lectores/bench_carga"
bench_q=$(printf %q "$bench")
pares_q=$(printf %q "$aqui/pares.py")

medir() { nice -n "$nicel" "$@"; }

echo "== Una carga de cada archivo (comprobación)"
for ext in xlsx xls; do
    medir "$bench" --una-carga "$carpeta/factura.$ext"
done

echo "== Medianas dentro del proceso"
medir "$bench" --carpeta "$carpeta" --benchmark_out="$trabajo/enproceso.json" \
    --benchmark_out_format=json >"$trabajo/enproceso.log" 2>&1 ||
    { cat "$trabajo/enproceso.log" >&2; exit 1; }
grep -E '_median' "$trabajo/enproceso.log"
medir /usr/bin/python3 "$aqui/pares.py" openpyxl "$carpeta/factura.xlsx" --repeticiones 5 \
    >"$trabajo/par-xlsx.txt"
medir /usr/bin/python3 "$aqui/pares.py" xlrd "$carpeta/factura.xls" --repeticiones 5 \
    >"$trabajo/par-xls.txt"

echo "== Proceso entero ($corridas corridas de cada uno)"
for par in xlsx:openpyxl xls:xlrd; do
    ext=${par%%:*}
    lector=${par#*:}
    archivo=$(printf %q "$carpeta/factura.$ext")
    medir hyperfine -N --style basic --warmup 1 --runs "$corridas" \
        --export-json "$trabajo/proceso-$ext.json" \
        "$bench_q --una-carga $archivo" \
        "/usr/bin/python3 $pares_q $lector $archivo" >/dev/null
    # Peak resident memory of one whole load, median of three.
    for _ in 1 2 3; do
        medir /usr/bin/time -f %M -o "$trabajo/pico-$ext.txt" -a \
            "$bench" --una-carga "$carpeta/factura.$ext" >/dev/null
    done
done

/usr/bin/python3 - "$trabajo" <<'EOF'
import json, statistics, sys

trabajo = sys.argv[1]
enproceso = {b["run_name"].split("/")[0]: (b["real_time"] / 1000.0, b["cpu_time"] / 1000.0)
             for b in json.load(open(f"{trabajo}/enproceso.json"))["benchmarks"]
             if b.get("aggregate_name") == "median"}
filas = [("xlsx", "openpyxl", "BM_CargaXlsx", 0.10, 18.0),
         ("xls", "xlrd", "BM_CargaXls", 0.08, 5.0)]
print()
print("Segundos. real: mediana; cpu: usuario + sistema (en proceso la mediana, en proceso entero la")
print("media que da hyperfine). Razón: par / nuestro.")
print(f"{'':6}|{'nuestro, en proceso':^21}|{'pico':^8}|{'nuestro, proceso':^21}|{'':9}|"
      f"{'par, proceso':^21}|{'par, en':^8}|{'razón':^7}|{'razón':^7}|{'razón':^8}")
print(f"{'':6}|{'real':>10} {'cpu':>10}|{'RSS MiB':>8}|{'real':>10} {'cpu':>10}|{'par':>9}|"
      f"{'real':>10} {'cpu':>10}|{'proceso':>8}|{'real':>7}|{'cpu':>7}|{'en proc.':>8}")
fallas = []
for ext, par, bm, objetivo, veces in filas:
    nuestro, ajeno = json.load(open(f"{trabajo}/proceso-{ext}.json"))["results"]
    real, cpu = statistics.median(nuestro["times"]), nuestro["user"] + nuestro["system"]
    par_real, par_cpu = statistics.median(ajeno["times"]), ajeno["user"] + ajeno["system"]
    mediana, mediana_cpu = enproceso[bm]
    par_dentro = float(open(f"{trabajo}/par-{ext}.txt").read().split()[-1])
    pico = statistics.median(int(x) for x in open(f"{trabajo}/pico-{ext}.txt").read().split()) / 1024
    print(f"{ext:6}|{mediana:10.3f} {mediana_cpu:10.3f}|{pico:8.1f}|{real:10.3f} {cpu:10.3f}|{par:>9}|"
          f"{par_real:10.3f} {par_cpu:10.3f}|{par_dentro:8.3f}|{par_real / real:6.1f}x|"
          f"{par_cpu / cpu:6.1f}x|{par_dentro / mediana:7.1f}x")
    if mediana > objetivo:
        fallas.append(f".{ext}: mediana en proceso {mediana:.3f} s, objetivo {objetivo:.2f} s")
    if pico > 60:
        fallas.append(f".{ext}: pico {pico:.1f} MiB, objetivo 60 MB")
    if par_real / real < veces:
        fallas.append(f".{ext}: proceso entero {par_real / real:.1f}x más rápido que {par}, "
                      f"objetivo {veces:.0f}x")
print()
print("Objetivos: mediana <= 0,10 s (.xlsx) y <= 0,08 s (.xls), pico <= 60 MB, "
      "18x openpyxl y 5x xlrd.")
print("\n".join(fallas) if fallas else "Todos los objetivos cumplidos.")
EOF
echo "Carga de la máquina al terminar (1, 5 y 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
