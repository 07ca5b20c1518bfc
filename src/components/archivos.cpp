#include "components/archivos.h"

#include "components/interaccion.h"

#include <QFileInfo>

namespace Pindra {

QString Archivos::ShowOpen(const QString& titulo, qintptr propietario, const QString& extensiones,
                           const QString& descripcion, const QString& carpeta) const {
    Q_UNUSED(propietario);
    if (!m_interaccion)
        return QString();
    return m_interaccion->abrirArchivo(titulo, extensiones, descripcion, carpeta);
}

bool Archivos::ExisteArchivo(const QString& ruta) const {
    if (ruta.isEmpty())
        return false;
    const QFileInfo fi(ruta);
    return fi.exists() && fi.isFile();
}

} // namespace Pindra
