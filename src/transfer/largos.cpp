#include "transfer/largos.h"

#include "components/clbase.h"
#include "components/formatos.h"
#include "components/recordset.h"
#include "components/vb.h"

namespace tarvix {

const std::vector<LimiteTexto>& limitesDeTexto() {
    // The Maria description goes whole (its three parts joined) to subitems and its first part to
    // the catalog.
    static const std::vector<LimiteTexto> limites = {
        {"ARTNRO", "Articulo", 50, "subitems.idarticulo catarticulos.idarticulo"},
        {"ARTDSC", "Descripción", 250, "subitems.descripcion catarticulos.descripcion"},
        {"ARTDSCMARIA", "Descripción Maria", 250, "catarticulos.descripcion_maria"},
        {"trim(coalesce(ARTDSCMARIA, '')) || ' ' || trim(coalesce(ARTDSCMARIA2, '')) || ' ' || "
         "trim(coalesce(ARTDSCMARIA3, ''))",
         "Descripción Maria completa", 760, "subitems.Descripcion_Maria"},
        {"PRCNCM", "Posición", 15, "subitems.ncm catarticulos.ncm"},
        {"PRCSUF", "Sufijos", 250, "subitems.sufijos catarticulos.sufijos"},
        {"PRCDUN", "Unidad Declarada", 10, "subitems.IdUnidad catarticulos.idunidad"},
        {"PRCEUN", "Unidad Estadistica", 10, "subitems.estadistica catarticulos.estadistica"},
        {"PRCSUN", "Unidad del derecho específico", 10, "subitems.deresp catarticulos.deresp"},
        {"PRCORI", "Pais Origen", 10, "subitems.IdPais catarticulos.idpais"},
        {"PROCEDENCIA", "País de procedencia", 10, "subitems.idpaisproc"},
        {"PRCESM", "Estado Mercaderia", 10, "subitems.EstadoMerc catarticulos.EstadoMerc"},
        {"PRCLAP", "LAPI", 1, "subitems.LAPI catarticulos.lapi"},
        {"OTROS", "Otros", 250, "subitems.OTROS"},
        {"CODIGOCIP", "Código EAN", 250, "subitems.CODIGOEAN"},
    };
    return limites;
}

std::vector<LargoExcedido> textosDemasiadoLargos(Servicios& srv, const QString& interno) {
    const auto& limites = limitesDeTexto();
    QString columnas = QStringLiteral("ARTORD, ARTNRO");
    QString condicion;
    for (size_t i = 0; i < limites.size(); ++i) {
        const QString largo = QStringLiteral("length(") + QString::fromLatin1(limites[i].expresion) + u')';
        columnas += QStringLiteral(", ") + largo + QStringLiteral(" as L") + QString::number(i);
        if (!condicion.isEmpty())
            condicion += QStringLiteral(" or ");
        condicion += largo + QStringLiteral(" > ") + QString::number(limites[i].maximo);
    }
    Recordset rs;
    srv.g_oBase->setSql(QStringLiteral("select ") + columnas + QStringLiteral(" from ART where INTNRO = ") +
                        vb::SqlTexto(interno) + QStringLiteral(" and (") + condicion +
                        QStringLiteral(") order by ARTORD"));
    std::vector<LargoExcedido> r;
    if (!srv.g_oBase->CrearRs(rs))
        return r;
    for (; !rs.Fin(); rs.MoveNext()) {
        const int artord = static_cast<int>(srv.g_oFormatos->EsNumero(rs.Fields(0)));
        const QString articulo = srv.g_oFormatos->EsNull(rs.Fields(1));
        for (size_t i = 0; i < limites.size(); ++i) {
            const int largo = static_cast<int>(srv.g_oFormatos->EsNumero(rs.Fields(static_cast<int>(i) + 2)));
            if (largo > limites[i].maximo)
                r.push_back(
                    {artord, articulo, QString::fromUtf8(limites[i].campo), largo, limites[i].maximo});
        }
    }
    return r;
}

QString mensajeTextosLargos(const QString& interno, const std::vector<LargoExcedido>& largos) {
    constexpr size_t kMostrados = 15;
    QString m = QStringLiteral("No se puede transferir el interno ") + interno +
                QStringLiteral(": hay textos más largos de lo que admite la base aduanera. Corríjalos en la "
                               "factura (y vuelva a procesarla) o en el editor, y vuelva a transferir.\r\n");
    for (size_t i = 0; i < largos.size() && i < kMostrados; ++i) {
        const LargoExcedido& l = largos[i];
        m += QStringLiteral("\r\nLínea ") + QString::number(l.artord) + QStringLiteral(", artículo ") +
             vb::Left(l.articulo, 50) + QStringLiteral(": ") + l.campo + QStringLiteral(" tiene ") +
             QString::number(l.largo) + QStringLiteral(" caracteres (admite ") + QString::number(l.maximo) +
             u')';
    }
    if (largos.size() > kMostrados)
        m += QStringLiteral("\r\n... y ") + QString::number(largos.size() - kMostrados) +
             QStringLiteral(" más.");
    return m;
}

} // namespace tarvix
