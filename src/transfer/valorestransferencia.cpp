#include "transfer/valorestransferencia.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/formatos.h"
#include "components/vb.h"

namespace tarvix::transferencia {

Velno::clBase& aduana(Globales& g) {
    return g.g_oCentral->getDataConnectionByEntity(kEntidad);
}

Progreso& progreso(Globales& g) {
    static ProgresoNulo nulo;
    return g.progreso ? *g.progreso : nulo;
}

QString texto(const Globales& g, const Recordset& rs, const QString& campo) {
    return g.g_oFormatos->EsNull(rs.Fields(campo));
}

QString citado(const Globales& g, const Recordset& rs, const QString& campo) {
    return vb::SqlTexto(texto(g, rs, campo));
}

QString guardado(const Globales& g, const Recordset& rs, const QString& campo) {
    return vb::PuntoDecimal(texto(g, rs, campo));
}

double numero(const Globales& g, const Recordset& rs, const QString& campo) {
    return g.g_oFormatos->EsNumero(rs.Fields(campo));
}

bool unidadEnKilos(const Globales& g, const Recordset& rs) {
    return vb::Trim(texto(g, rs, QStringLiteral("PRCDUN"))) == u"01";
}

QString precioDesdeTotal(const Globales& g, const Recordset& rs) {
    const double precio =
        vb::Dividir(numero(g, rs, QStringLiteral("ARTTOT")), numero(g, rs, QStringLiteral("PRCCAN")));
    return vb::PuntoDecimal(vb::Format(precio, QStringLiteral("00.0000")));
}

QString internoSql(const Globales& g) {
    return vb::DoblarComillas(g.g_sInterno);
}

} // namespace tarvix::transferencia
