#!/usr/bin/env bash
# A throwaway PostgreSQL cluster on loopback with the demo customs database, for the server tests.
#
#   tools/pg_prueba.sh iniciar <carpeta>   creates (first time) and starts the cluster, loads the data
#   tools/pg_prueba.sh parar <carpeta>     stops it (the data stay)
#   tools/pg_prueba.sh arrancar <carpeta>  starts it again
#   tools/pg_prueba.sh borrar <carpeta>    stops it and removes the folder
#
# `iniciar` prints the variables the tests read (TARVIX_PG_*), ready for eval.
set -euo pipefail
cd "$(dirname "$0")/.."

accion=${1:?accion}
carpeta=${2:?carpeta}
puerto=${TARVIX_PG_PUERTO:-54329}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL no está instalado (falta initdb)" >&2; exit 3; }

# initdb refuses to run as root: the cluster belongs to the postgres user then.
como() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

datos="$carpeta/datos"
pg_ctl() { como "$bin/pg_ctl" -D "$datos" -l "$carpeta/servidor.log" -w -t 60 "$@" >/dev/null; }
psql_() { como "$bin/psql" -h 127.0.0.1 -p "$puerto" -U postgres -v ON_ERROR_STOP=1 -q "$@"; }

case "$accion" in
  iniciar)
    mkdir -p "$carpeta"
    if [ "$(id -u)" -eq 0 ]; then
      chown postgres "$carpeta"
      chmod o+x "$(dirname "$carpeta")"   # the postgres user must reach the folder
    fi
    if [ ! -f "$datos/PG_VERSION" ]; then
      como "$bin/initdb" -D "$datos" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >/dev/null
      {
        echo "listen_addresses = '127.0.0.1'"
        echo "port = $puerto"
        echo "unix_socket_directories = '$carpeta'"
        echo "fsync = off"
        echo "synchronous_commit = off"
        echo "full_page_writes = off"
      } | como tee -a "$datos/postgresql.conf" >/dev/null
      # Passwords on loopback for the test user, trust for the administrator.
      {
        echo "host all postgres 127.0.0.1/32 trust"
        echo "host all all 127.0.0.1/32 scram-sha-256"
      } | como tee "$datos/pg_hba.conf" >/dev/null
      pg_ctl start
      psql_ -d postgres -c "create role tarvix login password 'tarvix-prueba'" \
            -c "create database aduana owner tarvix encoding 'UTF8' template template0"
      PGPASSWORD=tarvix-prueba PSQL="$bin/psql" bash tools/cargar_aduana_pg.sh \
        "host=127.0.0.1 port=$puerto user=tarvix dbname=aduana" >/dev/null
    else
      pg_ctl start
    fi
    # A second login whose statements the server itself limits to one second (a setting of the
    # role), with the same rights on the customs database.
    psql_ -d aduana -c "do \$\$ begin
        if not exists (select from pg_roles where rolname = 'tarvix_limitado') then
          create role tarvix_limitado login password 'tarvix-prueba';
        end if;
      end \$\$" \
      -c "alter role tarvix_limitado set statement_timeout = '1s'" \
      -c "grant all on schema public to tarvix_limitado" \
      -c "grant all on all tables in schema public to tarvix_limitado"
    echo "export TARVIX_PG_HOST=127.0.0.1 TARVIX_PG_PUERTO=$puerto TARVIX_PG_BASE=aduana"
    echo "export TARVIX_PG_USUARIO=tarvix TARVIX_PG_CLAVE=tarvix-prueba TARVIX_PG_CARPETA=$carpeta"
    ;;
  parar) pg_ctl stop -m fast ;;
  arrancar) pg_ctl start ;;
  borrar)
    pg_ctl stop -m immediate 2>/dev/null || true
    rm -rf "$carpeta"
    ;;
  *) echo "acción desconocida: $accion" >&2; exit 2 ;;
esac
