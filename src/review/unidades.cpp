#include "review/unidades.h"

#include "components/central.h"
#include "components/formatos.h"
#include "components/recordset.h"
#include "components/vberror.h"

namespace tarvix {

std::vector<Unidad> leerUnidades(Servicios& srv) {
    std::vector<Unidad> r;
    if (!srv.g_oCentral || !srv.g_oFormatos || !srv.g_oCentral->tieneEntidad(QStringLiteral("INTERNOS")))
        return r;
    try {
        Velno::clBase& base = srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
        // The statement set before stays the one its next result runs.
        const QString anterior = base.Sql();
        Recordset rs;
        base.setSql(QStringLiteral("select id, descripcion from unidades order by id"));
        const bool leido = base.CrearRs(rs);
        base.setSql(anterior);
        if (!leido)
            return r;
        for (; !rs.Fin(); rs.MoveNext())
            r.push_back({srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("id"))).trimmed(),
                         srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("descripcion"))).trimmed()});
    } catch (const VbError&) {
        r.clear();
    }
    return r;
}

QString nombreDeUnidad(const std::vector<Unidad>& unidades, const QString& codigo) {
    const QString c = codigo.trimmed();
    if (c.isEmpty())
        return {};
    for (const Unidad& u : unidades)
        if (u.id == c)
            return u.descripcion;
    return {};
}

} // namespace tarvix
