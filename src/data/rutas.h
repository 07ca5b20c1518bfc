#pragma once

#include <QString>

namespace tarvix::rutas {

// The program's data folder: a "db" folder next to the executable makes a portable install and is
// used as it is; otherwise the per-user data location (XDG_DATA_HOME/tarvix, ~/.local/share/tarvix).
QString carpetaDatos();

inline QString baseTrabajo(const QString& carpeta) {
    return carpeta + QStringLiteral("/db/VezezirAZEDO2_TARVIX.db");
}
inline QString iniEntidades(const QString& carpeta) {
    return carpeta + QStringLiteral("/entidades.ini");
}
inline QString baseAduana(const QString& carpeta) {
    return carpeta + QStringLiteral("/db/aduana.db");
}

} // namespace tarvix::rutas
