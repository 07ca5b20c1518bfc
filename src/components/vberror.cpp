#include "components/vberror.h"

namespace tarvix {

VbError::VbError(qint64 numero, QString origen, QString descripcion)
    : m_numero(numero), m_origen(std::move(origen)), m_descripcion(std::move(descripcion)),
      m_what(m_descripcion.toUtf8()) {}

InformeError InformeError::descripcionYNumero(const VbError& e) {
    return InformeError(e.descripcion() + QStringLiteral("\r\n\r\n") + QString::number(e.numero()));
}

InformeError InformeError::numeroYDescripcion(const VbError& e) {
    return InformeError(QString::number(e.numero()) + QStringLiteral(" - ") + e.descripcion());
}

InformeError& InformeError::seccion(QStringView antes, QStringView etiqueta, QStringView despues,
                                    QChar separador) {
    m_texto += antes + kProyecto + separador + etiqueta + despues;
    return *this;
}

InformeError& InformeError::mas(QStringView texto) {
    m_texto += texto;
    return *this;
}

InformeError& InformeError::mas(qint64 numero) {
    m_texto += QString::number(numero);
    return *this;
}

QString informeNumerado(const VbError& e, const QString& objetoProcedimiento, int linea) {
    return InformeError::descripcionYNumero(e)
        .seccion(u" - seccion[", objetoProcedimiento, u" Linea ")
        .mas(linea)
        .mas(u" ]::")
        .mas(e.origen());
}

QString informeCorto(const VbError& e, const QString& objetoProcedimiento) {
    return InformeError::descripcionYNumero(e).seccion(u" - seccion [", objetoProcedimiento, u"]");
}

QString informeSinEtiqueta(const VbError& e) {
    return InformeError::descripcionYNumero(e);
}

} // namespace tarvix
