#include "components/vberror.h"

namespace tarvix {

VbError::VbError(qint64 numero, QString origen, QString descripcion)
    : m_numero(numero), m_origen(std::move(origen)), m_descripcion(std::move(descripcion)),
      m_what(m_descripcion.toUtf8()) {}

QString informeNumerado(const VbError& e, const QString& objetoProcedimiento, int linea) {
    return e.descripcion() + QStringLiteral("\r\n\r\n") + QString::number(e.numero()) +
           QStringLiteral(" - seccion[") + kProyecto + u'.' + objetoProcedimiento +
           QStringLiteral(" Linea ") + QString::number(linea) + QStringLiteral(" ]::") + e.origen();
}

QString informeCorto(const VbError& e, const QString& objetoProcedimiento) {
    return e.descripcion() + QStringLiteral("\r\n\r\n") + QString::number(e.numero()) +
           QStringLiteral(" - seccion [") + kProyecto + u'.' + objetoProcedimiento + u']';
}

QString informeSinEtiqueta(const VbError& e) {
    return e.descripcion() + QStringLiteral("\r\n\r\n") + QString::number(e.numero());
}

} // namespace tarvix
