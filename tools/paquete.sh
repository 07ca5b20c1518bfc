#!/usr/bin/env bash
# Builds the Debian package: the program alone, optimised and with Debian's hardening flags, into
# build-paquete/, then `cpack -G DEB` there. Ends printing the path of tarvix_<version>_amd64.deb.
#
#   bash tools/paquete.sh
#   TARVIX_MANTENEDOR="Nombre <correo>" TARVIX_URL_CAPTURAS=https://... bash tools/paquete.sh
#
# TARVIX_URL_CAPTURAS is the web address where packaging/capturas/ is published: the AppStream
# metadata names its screenshots there, and goes without them when it is not given.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/dependencias.sh

# The dates of the manual page, the changelog and the release are those of the last commit.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && fecha=$(git log -1 --format=%ct 2>/dev/null) && [ -n "$fecha" ]; then
  export SOURCE_DATE_EPOCH=$fecha
fi

# Debian's flags with every hardening option, without debug information (the package ships the
# executable stripped); the build type's -O3 comes after them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
banderas="$(DEB_CXXFLAGS_MAINT_STRIP='-g -O2' dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
opciones=()
for v in TARVIX_MANTENEDOR TARVIX_URL_CAPTURAS; do
  if [ -n "${!v:-}" ]; then opciones+=("-D$v=${!v}"); else opciones+=("-U$v"); fi
done

compilacion=build-paquete
inicio=$SECONDS
cmake -S . -B "$compilacion" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTARVIX_BUILD_TESTS=OFF -DTARVIX_PAQUETE=ON -DTARVIX_WERROR="${TARVIX_WERROR:-OFF}" \
  -DCMAKE_CXX_FLAGS="$banderas" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  "${opciones[@]}"
cmake --build "$compilacion" -j "$(nproc)"
rm -f "$compilacion"/tarvix_*.deb
(cd "$compilacion" && cpack -G DEB)
paquete=$(ls "$compilacion"/tarvix_*_*.deb)
echo "Paquete ($((SECONDS - inicio)) s): $paquete"
