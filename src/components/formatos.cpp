#include "components/formatos.h"

#include "components/vb.h"

namespace Mesquel {

QString Formatos::EsNull(const QVariant& valor) const {
    if (!valor.isValid() || valor.isNull())
        return QString();
    switch (valor.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return tarvix::vb::CStr(valor.toDouble());
    case QMetaType::Bool:
        return valor.toBool() ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    case QMetaType::QDate:
        return tarvix::vb::TextoFecha(valor.toDate());
    case QMetaType::QDateTime:
        return tarvix::vb::TextoFechaHora(valor.toDateTime());
    default:
        return valor.toString();
    }
}

double Formatos::EsNumero(const QVariant& valor) const {
    double v = 0;
    return tarvix::vb::EsNumero(valor, &v) ? v : 0.0;
}

} // namespace Mesquel
