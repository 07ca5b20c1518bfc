#pragma once

#include <QString>

namespace tarvix {

// The per-user settings: application "ProcesoKORM", group "CONFIG".
namespace configuracion {
inline constexpr const char* kAplicacion = "ProcesoKORM";
inline constexpr const char* kSeccion = "CONFIG";

QString leer(const QString& clave, const QString& porDefecto = QString());
// False when the settings file could not be written (read-only folder, full disk).
bool guardar(const QString& clave, const QString& valor);
// Where the settings are kept (for the README and the messages).
QString ubicacion();
} // namespace configuracion

} // namespace tarvix
