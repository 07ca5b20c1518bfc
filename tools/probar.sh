#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless: the windows use the offscreen
# platform, the settings and data folders are the tests' own). When PostgreSQL is installed, a
# throwaway cluster on loopback carries the server tests; otherwise they are skipped, and said so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/dependencias.sh
bash tools/compilar.sh
export QT_QPA_PLATFORM=offscreen

if ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1; then
  pg=$(mktemp -d)/pg
  trap 'bash tools/pg_prueba.sh borrar "$pg" >/dev/null 2>&1 || true' EXIT
  eval "$(bash tools/pg_prueba.sh iniciar "$pg")"
  echo "Servidor PostgreSQL de prueba en 127.0.0.1:$TARVIX_PG_PUERTO (base $TARVIX_PG_BASE)"
else
  echo "AVISO: PostgreSQL no está instalado: se omiten las pruebas contra el servidor" \
       "(apt-get install postgresql para correrlas)."
fi

ctest --test-dir build --output-on-failure -j "$(nproc)"
