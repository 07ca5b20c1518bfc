#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, run, be tested and be packaged (dpkg-dev
# and file: the package's run-time dependencies), when any is missing.
set -euo pipefail

paquetes=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  libsqlite3-dev libpq-dev libzip-dev libdeflate-dev libexpat1-dev libgsf-1-dev libxlsxwriter-dev
  dpkg-dev file
)

faltan=()
for p in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
done

if [ ${#faltan[@]} -gt 0 ]; then
  echo "Instalando: ${faltan[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${faltan[@]}"
fi
