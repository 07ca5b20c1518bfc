#!/usr/bin/env bash
# The installed program the whole road on its demonstration data, driven with the keyboard as a
# clerk on a fresh account would drive it, on a virtual display: the first start (demonstration
# database, catalog 1 and unit UNIDADES), a new interno, the installed example invoice with the
# mapping proposed by its headers, the review and the new countries, the three articles new to the
# catalog corrected in the editor, and the transfer, checked in the user's customs database.
# A screenshot of each step stays in the folder printed at the end; a step that fails ends the run
# with a message that names it and a status other than 0.
#
#   bash tools/recorrido_instalado.sh
#
# Needs xvfb-run (xvfb, xauth), xdotool, import (imagemagick) and sqlite3. As root the program runs
# as the user nobody with a home of its own; as another user, as that user with a new HOME.
# TARVIX_PROGRAMA names another executable (by default the installed /usr/bin/tarvix) and
# TARVIX_CAPTURAS the folder for the screenshots (by default a new one under /tmp).
set -euo pipefail

if [ -z "${TARVIX_RECORRIDO_PANTALLA:-}" ]; then
  for orden in xvfb-run xauth xdotool import sqlite3; do
    command -v "$orden" > /dev/null || {
      echo "recorrido: falta la orden $orden (paquetes xvfb, xauth, xdotool, imagemagick, sqlite3)" >&2
      exit 1
    }
  done
  capturas=${TARVIX_CAPTURAS:-$(mktemp -d /tmp/tarvix-recorrido.XXXXXX)}
  mkdir -p "$capturas"
  chmod 755 "$capturas"
  # A virtual screen of a desk, that accepts the program from another user (-ac).
  estado=0
  TARVIX_RECORRIDO_PANTALLA=1 TARVIX_CAPTURAS="$capturas" \
    xvfb-run -a -s "-screen 0 1280x800x24 -ac -nolisten tcp" bash "$0" || estado=$?
  echo "Capturas del recorrido: $capturas"
  exit "$estado"
fi

programa=${TARVIX_PROGRAMA:-/usr/bin/tarvix}
capturas=$TARVIX_CAPTURAS
ejemplo=/usr/share/tarvix/examples/factura-ejemplo.xlsx
interno=DEMO-1
espera=${TARVIX_RECORRIDO_ESPERA:-60} # seconds a window may take to appear or go
pid=""

casa=$(mktemp -d /tmp/tarvix-casa.XXXXXX)
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$casa"
  como_usuario=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
  como_usuario=()
fi
datos=$casa/.local/share/tarvix

terminar() {
  if [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; then
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
  fi
  rm -rf "$casa"
}
trap terminar EXIT

captura() { import -window root "$capturas/$1.png"; }

falla() {
  echo "recorrido: falló $*" >&2
  captura falla 2> /dev/null || true
  if [ -s "$capturas/tarvix.log" ]; then
    echo "--- salida del programa:" >&2
    cat "$capturas/tarvix.log" >&2
  fi
  exit 1
}

# The visible windows of the program whose whole title matches the extended regular expression $1
# (xdotool compares the title without regard to case, and reads an accented letter of it as several
# characters: ".+" stands for one). The main window's caption is empty.
buscar() {
  comm -12 <(xdotool search --onlyvisible --class '^tarvix$' 2> /dev/null | sort) \
    <(xdotool search --onlyvisible --name "^($1)\$" 2> /dev/null | sort)
}

# The id of the visible window whose whole title matches $2, into the variable $1; waits for it
# while the program runs.
ventana() {
  local -n _id=$1
  local _fin=$((SECONDS + espera)) _w
  while :; do
    _w=$(buscar "$2" | head -n 1)
    if [ -n "$_w" ]; then
      _id=$_w
      return 0
    fi
    kill -0 "$pid" 2> /dev/null || falla "$3: el programa terminó"
    [ "$SECONDS" -lt "$_fin" ] || falla "$3: no apareció la ventana «$2» en $espera s"
    sleep 0.1
  done
}

# Waits until no visible window has a title matching $1.
cerrada() {
  local fin=$((SECONDS + espera))
  while [ -n "$(buscar "$1")" ]; do
    kill -0 "$pid" 2> /dev/null || falla "$2: el programa terminó"
    [ "$SECONDS" -lt "$fin" ] || falla "$2: la ventana «$1» no se cerró en $espera s"
    sleep 0.1
  done
}

# Gives the window the keyboard, as the window manager of a desk does when a window opens or when
# the one above it closes (the virtual screen has none), then sends the keys.
enfocar() {
  timeout 10 xdotool windowfocus --sync "$1" || falla "$2: la ventana $1 no tomó el teclado"
}

teclas() {
  local w=$1
  shift
  enfocar "$w" "las teclas $*"
  xdotool key --delay 60 "$@" || falla "las teclas $*: xdotool no pudo enviarlas"
}

escribir() {
  enfocar "$1" "el texto «$2»"
  xdotool type --delay 30 "$2" || falla "el texto «$2»: xdotool no pudo escribirlo"
}

# A number from the user's databases, read as the user while the program has them open.
consulta() {
  "${como_usuario[@]}" sqlite3 -readonly "$datos/db/$1" "$2"
}

principal="" resultados="" w="" p=""
"${como_usuario[@]}" env -i PATH=/usr/bin:/bin HOME="$casa" DISPLAY="$DISPLAY" LANG=es_AR.UTF-8 \
  "$programa" > "$capturas/tarvix.log" 2>&1 &
pid=$!
ventana principal '' "el arranque"

# First start: where the customs database is (the demonstration one is proposed), then the catalog
# and the default unit, which the clerk picks by typing the start of their texts.
ventana w 'Base aduanera' "el primer arranque"
captura 01-base-aduanera
teclas "$w" Return
ventana w 'Cat.+logo y unidad' "el catálogo y la unidad del primer arranque"
escribir "$w" '[1'
teclas "$w" Tab
escribir "$w" 'UNIDADES'
captura 02-catalogo-y-unidad
teclas "$w" Return
cerrada 'Cat.+logo y unidad' "el catálogo y la unidad del primer arranque"
[ -f "$datos/entidades.ini" ] || falla "el primer arranque: no se escribió $datos/entidades.ini"

# Step 1: Insert, the new interno, F11; Enter in the list goes to step 2.
teclas "$principal" Insert
ventana w 'Nuevo Interno' "el paso 1 (Insert)"
escribir "$w" "$interno"
teclas "$w" Tab
escribir "$w" 'factura de ejemplo'
captura 03-nuevo-interno
teclas "$w" F11
cerrada 'Nuevo Interno' "el paso 1 (F11)"
[ "$(consulta VezezirAZEDO2_TARVIX.db "select count(*) from INTN where INTNRO = '$interno'")" = 1 ] ||
  falla "el paso 1: el interno $interno no quedó en la base de trabajo"
captura 04-paso1
teclas "$principal" Return

# Step 2: "Procesar" (where the step starts), the installed example invoice typed in the file dialog.
teclas "$principal" space
ventana w 'Abrir Factura en EXCEL' "el paso 2 (Procesar)"
escribir "$w" "$ejemplo"
captura 05-abrir-factura
teclas "$w" Return
cerrada 'Abrir Factura en EXCEL' "el paso 2 (elegir la factura)"
enfocar "$principal" "la grilla del paso 2"
sleep 1 # only for the screenshot: the keys below wait in the program's queue for the load
captura 06-paso2-grilla
# The mapping proposed by the headers stays; two Shift+Tab from "Procesar" reach "Siguiente >".
teclas "$principal" shift+Tab shift+Tab space
ventana w 'Revisi.+n de la factura' "la revisión de la factura"
captura 07-revision
teclas "$w" Return # "Procesar igual": the example has warnings only
ventana w 'Pa.+ses nuevos' "los países nuevos"
captura 08-paises-nuevos
teclas "$w" F11 # the proposed countries
cerrada 'Pa.+ses nuevos' "los países nuevos (F11)"

# Step 3 starts on "Datos con Errores": the lines the catalog did not know.
teclas "$principal" space
ventana resultados 'Resultados - .*' "el paso 3 (Datos con Errores)"
[ "$(consulta VezezirAZEDO2_TARVIX.db "select count(*) from ART where INTNRO = '$interno'")" = 14 ] ||
  falla "el proceso: el interno no tiene las 14 líneas de la factura"
captura 09-paso3-datos-con-errores

# Each one in the editor: the position, Enter, the value-suffix questions, F11. The list keeps the
# cursor on the same row, which then holds the next line.
n=0
for correccion in \
  '8467.29.99.000Z|AA:Return|AB:Return|Carga de Sufijos:Down Return|ZB:850' \
  '9017.80.90.000T|AA:Return' \
  '8207.13.00.000S|AA:Return'; do
  n=$((n + 1))
  IFS='|' read -r -a pasos <<< "$correccion"
  teclas "$resultados" Return
  ventana w 'Modificar' "el editor de la línea $n"
  escribir "$w" "${pasos[0]}"
  teclas "$w" Return
  for paso in "${pasos[@]:1}"; do
    titulo=${paso%%:*}
    respuesta=${paso#*:}
    [ "$titulo" = 'Carga de Sufijos' ] || titulo="Ingrese Valor $titulo"
    ventana p "$titulo" "los sufijos de la línea $n"
    if [ "$respuesta" = Return ] || [ "$titulo" = 'Carga de Sufijos' ]; then
      # shellcheck disable=SC2086 # the answer is a list of keys
      teclas "$p" $respuesta
    else
      teclas "$p" ctrl+a
      escribir "$p" "$respuesta"
      teclas "$p" Return
    fi
    cerrada "$titulo" "los sufijos de la línea $n"
  done
  captura "1${n}-modificar-linea-$n"
  teclas "$w" F11
  cerrada 'Modificar' "el editor de la línea $n (F11)"
done
pendientes=$(consulta VezezirAZEDO2_TARVIX.db \
  "select count(*) from ART where INTNRO = '$interno' and (PRCCRC is null or PRCCRC <> 'OK')")
[ "$pendientes" = 0 ] || falla "la corrección: quedan $pendientes líneas sin corregir"
captura 14-resultados-corregidos
teclas "$resultados" Escape
cerrada 'Resultados - .*' "el cierre de los resultados"

# "Transferir": one Shift+Tab from "Datos con Errores", where the focus came back.
teclas "$principal" shift+Tab space
ventana w 'VezezirAZEDO2_TARVIX' "la transferencia"
captura 15-transferencia
teclas "$w" Return
cerrada 'VezezirAZEDO2_TARVIX' "el aviso de la transferencia"
[ "$(consulta aduana.db "select count(*) from caratula where interno = '$interno'")" = 1 ] ||
  falla "la transferencia: no hay carátula del interno $interno en la base aduanera"
[ "$(consulta aduana.db "select count(*) from subitems where interno = '$interno'")" = 14 ] ||
  falla "la transferencia: la base aduanera no tiene los 14 ítems del interno $interno"
enfocar "$principal" "el fin"
captura 16-fin

# Esc ends the program.
teclas "$principal" Escape
fin=$((SECONDS + espera))
while kill -0 "$pid" 2> /dev/null; do
  [ "$SECONDS" -lt "$fin" ] || falla "el cierre: Esc no terminó el programa"
  sleep 0.1
done
estado=0
wait "$pid" || estado=$?
pid=""
[ "$estado" -eq 0 ] || falla "el cierre: el programa terminó con $estado"
echo "Recorrido completo: interno $interno transferido con 14 ítems"
