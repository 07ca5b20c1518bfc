#!/usr/bin/env bash
# Loads the customs schema and the demo data into an existing, empty PostgreSQL database.
#   tools/cargar_aduana_pg.sh "host=127.0.0.1 port=5432 dbname=aduana user=agencia"
# (any libpq connection string or service: "service=aduana"; the password from PGPASSWORD or
# ~/.pgpass). The bracketed column names of ncm become "001" and the like on this engine.
set -euo pipefail
cd "$(dirname "$0")/.."
conexion=${1:?"cadena de conexión de libpq, p. ej. \"host=127.0.0.1 dbname=aduana user=agencia\""}
for f in resources/customs/esquema.sql resources/customs/demo.sql; do
  sed -E 's/\[([0-9]{3})\]/"\1"/g' "$f"
done | psql "$conexion" -v ON_ERROR_STOP=1 -q
echo "Base aduanera cargada: $(psql "$conexion" -Atc 'select count(*) from ncm') posiciones."
