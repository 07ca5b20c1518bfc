#!/usr/bin/env bash
# Loads the customs schema and the demo data into an existing, empty PostgreSQL database.
#   tools/cargar_aduana_pg.sh "host=127.0.0.1 port=5432 dbname=aduana user=agencia"
# (any libpq connection string or service: "service=aduana"; the password from PGPASSWORD or
# ~/.pgpass). The bracketed column names of ncm become "001" and the like on this engine.
#
# Texts compare without regard to case, as the schema's COLLATE NOCASE does on SQLite: here an ICU
# collation that ignores case and keeps accents ("ñandú" = "ÑANDÚ", "JAPÓN" <> "JAPON"). PostgreSQL
# refuses LIKE on such a collation, so the two columns a LIKE searches (ncm's [001] and sufidos'
# sim: digits, dots and blanks) keep the database's own.
#
#   tools/cargar_aduana_pg.sh --actualizar "<conexión>"
# gives that comparison to a database loaded before it existed, one table at a time; a table whose
# key holds texts that differ only in case stays as it was (the error names it).
set -euo pipefail
cd "$(dirname "$0")/.."
actualizar=false
if [ "${1:-}" = --actualizar ]; then
  actualizar=true
  shift
fi
conexion=${1:?"cadena de conexión de libpq, p. ej. \"host=127.0.0.1 dbname=aduana user=agencia\""}
psql=${PSQL:-psql}

intercalacion="CREATE COLLATION IF NOT EXISTS tarvix_ci (provider = icu, locale = 'und-u-ks-level2', deterministic = false);"
esquema() {
  sed -E -e 's/\[([0-9]{3})\]/"\1"/g' -e '/^ *("001"|sim) /s/ COLLATE NOCASE//' \
    -e 's/COLLATE NOCASE/COLLATE tarvix_ci/g' "$@"
}

if $actualizar; then
  {
    echo "$intercalacion"
    esquema resources/customs/esquema.sql | awk '
      /^CREATE TABLE/ { tabla = $3; cambios = "" }
      / COLLATE tarvix_ci/ {
        sub(/,$/, "", $2)
        cambios = cambios (cambios == "" ? "" : ", ") "ALTER COLUMN " $1 " TYPE " $2 " COLLATE tarvix_ci"
      }
      /^\);/ && cambios != "" { print "ALTER TABLE " tabla " " cambios ";" }'
  } | "$psql" "$conexion" -q
  exit
fi
{
  echo "$intercalacion"
  esquema resources/customs/esquema.sql resources/customs/demo.sql
} | "$psql" "$conexion" -v ON_ERROR_STOP=1 -q
echo "Base aduanera cargada: $("$psql" "$conexion" -Atc 'select count(*) from ncm') posiciones."
