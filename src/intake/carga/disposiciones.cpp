#include "intake/carga/disposiciones.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/estadoasistente.h"
#include "components/recordset.h"
#include "components/servicios.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "intake/carga/grilla.h"
#include "intake/carga/mapeo.h"
#include "intake/encabezados.h"

#include <algorithm>

namespace tarvix {

namespace {

bool sinEncabezados(const QString& clave) {
    return std::all_of(clave.begin(), clave.end(), [](QChar c) { return c == u'|'; });
}

QString literal(const QString& s) {
    return u'\'' + vb::DoblarComillas(s) + u'\'';
}

} // namespace

namespace disposiciones {

void crearTabla(Velno::clBase& base) {
    base.setSql(QStringLiteral("create table if not exists MAPEOS (ENCABEZADOS varchar(4000) not null "
                               "primary key, ETIQUETAS varchar(4000) not null)"));
    base.Ejecutar();
}

std::optional<QStringList> recordada(Velno::clBase& base, const ModeloGrilla& grilla) {
    const QString clave = encabezados::claveDisposicion(grilla);
    if (sinEncabezados(clave))
        return std::nullopt;
    try {
        Recordset rs;
        base.setSql(QStringLiteral("select ETIQUETAS from MAPEOS where ENCABEZADOS = ") + literal(clave));
        if (!base.CrearRs(rs) || rs.Fin())
            return std::nullopt;
        QStringList etiquetas = rs.Fields(0).toString().split(u'\t');
        if (etiquetas.size() != grilla.Cols())
            return std::nullopt;
        return etiquetas;
    } catch (const VbError&) {
        return std::nullopt;
    }
}

void recordar(Velno::clBase& base, const ModeloGrilla& grilla) {
    const QString clave = encabezados::claveDisposicion(grilla);
    if (sinEncabezados(clave))
        return;
    QStringList etiquetas;
    for (int c = 0; c < grilla.Cols(); ++c)
        etiquetas << grilla.TextMatrix(kFilaCampos, c);
    try {
        base.setSql(QStringLiteral("insert or replace into MAPEOS (ENCABEZADOS, ETIQUETAS) values (") +
                    literal(clave) + QStringLiteral(", ") + literal(etiquetas.join(u'\t')) + u')');
        base.Ejecutar();
    } catch (const VbError&) {
        // A database without the table remembers nothing; the processing goes on.
    }
}

std::vector<Recordada> todas(Velno::clBase& base) {
    std::vector<Recordada> r;
    Recordset rs;
    base.setSql(QStringLiteral("select ENCABEZADOS, ETIQUETAS from MAPEOS order by ENCABEZADOS"));
    if (base.CrearRs(rs))
        for (; !rs.Fin(); rs.MoveNext())
            r.push_back({rs.Fields(0).toString(), rs.Fields(1).toString().split(u'\t')});
    return r;
}

void olvidar(Velno::clBase& base, const QString& encabezados) {
    base.setSql(QStringLiteral("delete from MAPEOS where ENCABEZADOS = ") + literal(encabezados));
    base.Ejecutar();
}

} // namespace disposiciones

bool proponerCamposActivo() {
    return configuracion::leer(QString::fromLatin1(kProponerCampos), QStringLiteral("1")) != u"0";
}

bool recordarMapeosActivo() {
    return configuracion::leer(QString::fromLatin1(kRecordarMapeos), QStringLiteral("1")) != u"0";
}

Mapeo mapeoInicial(const ModeloGrilla& grilla, Velno::clBase* base, bool proponer,
                   const encabezados::CatalogoConocido& catalogo) {
    Mapeo m;
    if (base) {
        if (auto r = disposiciones::recordada(*base, grilla)) {
            m.tipo = MapeoInicial::Recordado;
            m.etiquetas = std::move(*r);
            return m;
        }
    }
    if (!proponer)
        return m;
    const std::vector<QString> p = encabezados::proponer(grilla, QLocale(), catalogo);
    m.etiquetas = QStringList(p.begin(), p.end());
    if (std::any_of(p.begin(), p.end(), [](const QString& e) { return !e.isEmpty(); }))
        m.tipo = MapeoInicial::Propuesto;
    return m;
}

encabezados::CatalogoConocido catalogoDeAduana(Servicios& srv, const QString& idcatalogo) {
    if (!srv.g_oCentral || idcatalogo.isEmpty())
        return {};
    return [&srv, idcatalogo](const QStringList& codigos) {
        QString lista;
        for (const QString& c : codigos)
            lista += (lista.isEmpty() ? QString() : QStringLiteral(", ")) + literal(c);
        try {
            Velno::clBase& base = srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
            base.setSql(QStringLiteral("select count(*) from catarticulos where idcatalogo = ") +
                        literal(idcatalogo) + QStringLiteral(" and idarticulo in (") + lista + u')');
            Recordset rs;
            if (!base.CrearRs(rs) || rs.Fin())
                return 0;
            return rs.Fields(0).toInt();
        } catch (const VbError&) {
            return 0;
        }
    };
}

MapeoInicial aplicarMapeoInicial(ModeloGrilla& grilla, Servicios& srv, const EstadoAsistente& estado) {
    if (grilla.Rows() <= kFilaCampos)
        return MapeoInicial::Ninguno;
    for (int c = 0; c < grilla.Cols(); ++c)
        if (!grilla.celda(kFilaCampos, c).isEmpty())
            return MapeoInicial::Ninguno;
    const Mapeo m = mapeoInicial(grilla, recordarMapeosActivo() ? srv.g_oBase : nullptr,
                                 proponerCamposActivo(), catalogoDeAduana(srv, estado.g_sINTCAT));
    if (m.tipo == MapeoInicial::Ninguno)
        return m.tipo;
    for (int c = 0; c < grilla.Cols() && c < m.etiquetas.size(); ++c)
        if (!m.etiquetas[c].isEmpty())
            grilla.setTextMatrix(kFilaCampos, c, m.etiquetas[c]);
    srv.progreso().mensaje(
        QString::fromUtf8(m.tipo == MapeoInicial::Recordado ? kAvisoRecordado : kAvisoPropuestos));
    return m.tipo;
}

} // namespace tarvix
