#include "transfer/valorestransferencia.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/formatos.h"
#include "components/vb.h"
#include "components/vberror.h"

namespace tarvix::transferencia {

namespace {

const char* const kNombres[] = {"ARTORD", "ARTNRO", "ARTDSC", "ARTDSCMARIA", "ARTDSCMARIA2", "ARTDSCMARIA3",
                                "ARTUNI", "ARTTOT", "ARTKGU", "PROCEDENCIA", "OTROS",        "CODIGOCIP",
                                "PRCNCM", "PRCSUF", "PRCLAP", "PRCDUN",      "PRCCAN",       "PRCEUN",
                                "PRCECA", "PRCSUN", "PRCSCA", "PRCESM",      "PRCORI"};
static_assert(std::size(kNombres) == static_cast<size_t>(Col::Cantidad));

// "de" and what the user calls each number column written as stored.
QString nombreDelValor(Col c) {
    switch (c) {
    case Col::PRCCAN:
        return QStringLiteral("de la cantidad declarada (PRCCAN)");
    case Col::ARTUNI:
        return QStringLiteral("del precio unitario (ARTUNI)");
    case Col::ARTTOT:
        return QStringLiteral("del total FOB (ARTTOT)");
    case Col::PRCECA:
        return QStringLiteral("de la cantidad estadística (PRCECA)");
    case Col::PRCSCA:
        return QStringLiteral("de la cantidad de derecho específico (PRCSCA)");
    default:
        return QStringLiteral("de ") + QString::fromLatin1(kNombres[static_cast<size_t>(c)]);
    }
}

bool esDigito(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A number literal of SQL: sign, digits with one optional point, an optional exponent.
bool esNumeroSql(const QString& t) {
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype digitos = 0;
    for (; i < n && esDigito(t[i]); ++i)
        ++digitos;
    if (i < n && t[i] == u'.')
        for (++i; i < n && esDigito(t[i]); ++i)
            ++digitos;
    if (digitos == 0)
        return false;
    if (i < n && (t[i] == u'E' || t[i] == u'e')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        const qsizetype inicio = i;
        while (i < n && esDigito(t[i]))
            ++i;
        if (i == inicio)
            return false;
    }
    return i == n;
}

} // namespace

Velno::clBase& aduana(const Servicios& srv) {
    return srv.g_oCentral->getDataConnectionByEntity(kEntidad);
}

namespace {
QString notaDeshecha(const QString& interno) {
    return QStringLiteral("\r\n\r\nLa base aduanera quedó como estaba: no se escribió ni se reemplazó "
                          "nada del interno ") +
           interno + u'.';
}
} // namespace

TransaccionTransferencia::TransaccionTransferencia(Servicios& srv, EstadoAsistente& estado)
    : m_srv(srv), m_estado(estado) {
    aduana(srv).ComenzarTransaccion(
        QStringLiteral("interno ") + estado.g_sInterno,
        QStringLiteral("El interno ") + estado.g_sInterno +
            QStringLiteral(" se está transfiriendo desde otro puesto y no terminó a tiempo: espere a que "
                           "termine y vuelva a intentarlo"));
}

TransaccionTransferencia::~TransaccionTransferencia() {
    deshacer();
}

void TransaccionTransferencia::confirmar() {
    try {
        aduana(m_srv).ConfirmarTransaccion();
    } catch (...) {
        m_fallida = true;
        throw;
    }
}

QString TransaccionTransferencia::deshacer() {
    const QString nota = deshacerTransferencia(m_srv, m_estado);
    if (m_fallida) {
        m_fallida = false;
        if (aduana(m_srv).ConfirmacionIncierta())
            return QStringLiteral("\r\n\r\nNo se sabe si la base aduanera recibió el interno ") +
                   m_estado.g_sInterno +
                   QStringLiteral(": se perdió la conexión mientras se confirmaba. Cuando el servidor vuelva "
                                  "a responder, transfiéralo otra vez: el interno se reemplaza entero.");
        return notaDeshecha(m_estado.g_sInterno);
    }
    return nota;
}

QString deshacerTransferencia(Servicios& srv, EstadoAsistente& estado) {
    if (!srv.g_oCentral->tieneEntidad(kEntidad) || !aduana(srv).DeshacerTransaccion())
        return QString();
    return notaDeshecha(estado.g_sInterno);
}

void bloquearCatalogo(Servicios& srv, const QString& catalogo) {
    aduana(srv).Bloquear(QStringLiteral("catalogo ") + catalogo,
                         QStringLiteral("El catálogo ") + catalogo +
                             QStringLiteral(" se está actualizando desde otro puesto y no terminó a tiempo: "
                                            "vuelva a intentarlo"));
}

QString internoSql(const QString& interno) {
    return vb::DoblarComillas(interno);
}

LineaArt::LineaArt(const Servicios& srv, const EstadoAsistente& estado, const Recordset& rs)
    : m_srv(srv), m_estado(estado), m_rs(rs) {
    const QStringList& columnas = rs.Columnas();
    for (size_t i = 0; i < m_indice.size(); ++i) {
        const QLatin1String nombre(kNombres[i]);
        int& indice = m_indice[i];
        indice = -1;
        for (int k = 0; k < columnas.size() && indice < 0; ++k)
            if (columnas[k].compare(nombre, Qt::CaseInsensitive) == 0)
                indice = k;
        if (indice < 0)
            throw VbError(
                3265, QStringLiteral("ADODB.Fields"),
                QStringLiteral("No se encontró el campo \"%1\" en el resultado de la consulta").arg(nombre));
    }
}

QString LineaArt::texto(Col c) const {
    return m_srv.g_oFormatos->EsNull(m_rs.Fields(m_indice[static_cast<size_t>(c)]));
}

double LineaArt::numero(Col c) const {
    return m_srv.g_oFormatos->EsNumero(m_rs.Fields(m_indice[static_cast<size_t>(c)]));
}

QString LineaArt::guardado(Col c) const {
    const QString original = texto(c);
    const QString t = vb::PuntoDecimal(original);
    if (esNumeroSql(t))
        return t;
    const QString cual = QStringLiteral("El valor ") + nombreDelValor(c) + QStringLiteral(" del artículo ") +
                         texto(Col::ARTNRO) + QStringLiteral(" (línea ") + texto(Col::ARTORD) + u')';
    throw VbError(errores::TipoNoCoincide, QStringLiteral("Transfiriendo a Kalmora"),
                  cual +
                      (vb::Trim(original).isEmpty()
                           ? QStringLiteral(" está vacío.")
                           : QStringLiteral(" no es un número: \"") + original + QStringLiteral("\".")) +
                      QStringLiteral(" Corrija la línea antes de transferir."));
}

QString LineaArt::conCero(Col c) const {
    return texto(c).isEmpty() ? QStringLiteral("0") : u'0' + guardado(c);
}

QString LineaArt::precioDesdeTotal() const {
    const double precio = vb::Dividir(numero(Col::ARTTOT), numero(Col::PRCCAN));
    return vb::PuntoDecimal(vb::Format(precio, QStringLiteral("00.0000")));
}

} // namespace tarvix::transferencia
