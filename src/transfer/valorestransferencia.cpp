#include "transfer/valorestransferencia.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/formatos.h"
#include "components/vb.h"
#include "components/vberror.h"

namespace tarvix::transferencia {

namespace {

const char* const kNombres[] = {"ARTNRO", "ARTDSC", "ARTDSCMARIA", "ARTDSCMARIA2", "ARTDSCMARIA3", "ARTUNI",
                                "ARTTOT", "ARTKGU", "PROCEDENCIA", "OTROS",        "CODIGOCIP",    "PRCNCM",
                                "PRCSUF", "PRCLAP", "PRCDUN",      "PRCCAN",       "PRCEUN",       "PRCECA",
                                "PRCSUN", "PRCSCA", "PRCESM",      "PRCORI"};
static_assert(std::size(kNombres) == static_cast<size_t>(Col::Cantidad));

} // namespace

Velno::clBase& aduana(Globales& g) {
    return g.g_oCentral->getDataConnectionByEntity(kEntidad);
}

Progreso& progreso(Globales& g) {
    static ProgresoNulo nulo;
    return g.progreso ? *g.progreso : nulo;
}

QString internoSql(const Globales& g) {
    return vb::DoblarComillas(g.g_sInterno);
}

LineaArt::LineaArt(const Globales& g, const Recordset& rs) : m_g(g), m_rs(rs) {
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
    return m_g.g_oFormatos->EsNull(m_rs.Fields(m_indice[static_cast<size_t>(c)]));
}

double LineaArt::numero(Col c) const {
    return m_g.g_oFormatos->EsNumero(m_rs.Fields(m_indice[static_cast<size_t>(c)]));
}

QString LineaArt::precioDesdeTotal() const {
    const double precio = vb::Dividir(numero(Col::ARTTOT), numero(Col::PRCCAN));
    return vb::PuntoDecimal(vb::Format(precio, QStringLiteral("00.0000")));
}

} // namespace tarvix::transferencia
