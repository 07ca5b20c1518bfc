#include "review/posicion_logica.h"

#include "components/central.h"
#include "components/formatos.h"
#include "components/vb.h"
#include "components/vberror.h"

namespace tarvix {

using vb::DoblarComillas;
using vb::Left;
using vb::Mid;
using vb::Trim;

QString listaSim(const QString& posicion) {
    const auto parte = [&posicion](qsizetype n) { return DoblarComillas(Left(posicion, n)); };
    return QStringLiteral("('") + parte(2) + QStringLiteral("  .  .  .   ") + QStringLiteral("',") +
           QStringLiteral("'") + parte(4) + QStringLiteral(".  .  .   ") + QStringLiteral("',") +
           QStringLiteral("'") + parte(7) + QStringLiteral(".  .   ") + QStringLiteral("',") +
           QStringLiteral("'") + parte(14) + QStringLiteral("')");
}

QString condicionPosicion(const QString& posicion, const QString& entreCondiciones) {
    return QStringLiteral(" [001] = '") + DoblarComillas(Mid(posicion, 1, 10)) +
           QStringLiteral("' and [002] = '") + DoblarComillas(Mid(posicion, 12, 3)) + QStringLiteral("'") +
           entreCondiciones + QStringLiteral("and [003] = '") + DoblarComillas(vb::Right(posicion, 1)) +
           QStringLiteral("'");
}

LogicaPosicion::LogicaPosicion(Servicios& srv, EstadoAsistente& estado)
    : m_srv(srv), m_estado(estado), m_espera(&srv.interaccion()) {}

bool LogicaPosicion::Buscar() {
    if (Trim(TxtNCMF).isEmpty())
        return false;
    try {
        m_espera.ocupado();
        QString patron = TxtNCMF;
        patron.replace(u'.', u'%');
        LstNCM.clear();
        LstNCM_ListIndex = -1;
        Velno::clBase& ncm = m_srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("NCM"));
        ncm.setSql(
            QStringLiteral("select [001]+ '.' +[002] + [003] as ncm,[012] as estadistica,[020] as deresp "
                           "from ncm where [001] like '") +
            DoblarComillas(patron) + QStringLiteral("%' order by [001],[002],[003]"));
        Recordset rs;
        if (!m_srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("NCM")).CrearRs(rs)) {
            m_espera.normal();
            m_srv.interaccion().mensaje(QStringLiteral("Posición no encontrada."), Icono::Exclamacion);
            return false;
        }
        for (; !rs.EOF_(); rs.MoveNext())
            LstNCM << Trim(m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("ncm"))));
        LstNCM_ListIndex = 0;
        m_espera.normal();
        return true;
    } catch (const VbError& e) {
        m_espera.normal();
        // The lookup's report names no section: its label is empty.
        m_srv.interaccion().mensaje(InformeError::numeroYDescripcion(e).mas(u"Sección []"));
        return false;
    }
}

void LogicaPosicion::MostrarDatos(const QString& posicion) {
    try {
        LbDescripcion.clear();
        LstSufijos.clear();
        m_espera.ocupado();
        Trelvan::Central& central = *m_srv.g_oCentral;
        const Mesquel::Formatos& f = *m_srv.g_oFormatos;
        central.getDataConnectionByEntity(QStringLiteral("NCM"))
            .setSql(QStringLiteral(
                        "Select [010] as descrip,[004] as descrip1, [012] as estadistica,[020] as deresp, "
                        "[059],[019] as rein from ncm where") +
                    condicionPosicion(posicion, QStringLiteral(" ")));
        Recordset rs;
        if (central.getDataConnectionByEntity(QStringLiteral("NCM")).CrearRs(rs))
            LbDescripcion = f.EsNull(rs.Fields(QStringLiteral("descrip"))) + QStringLiteral("\r\n\r\n") +
                            f.EsNull(rs.Fields(QStringLiteral("descrip1")));
        central.getDataConnectionByEntity(QStringLiteral("NCM"))
            .setSql(QStringLiteral("select * from sufidos where sim in ") + listaSim(posicion));
        if (central.getDataConnectionByEntity(QStringLiteral("NCM")).CrearRs(rs)) {
            for (; !rs.EOF_(); rs.MoveNext())
                LstSufijos << Trim(f.EsNull(rs.Fields(QStringLiteral("Sufijo")))).leftJustified(5, u' ') +
                                  Trim(f.EsNull(rs.Fields(QStringLiteral("detalle"))));
        }
        m_espera.normal();
    } catch (const VbError& e) {
        m_espera.normal();
        m_srv.interaccion().mensaje(e.descripcion());
    }
}

bool LogicaPosicion::Form_Activate() {
    bool enfocarLista = !LstNCM.isEmpty();
    if (!buscado && !TxtNCMF.isEmpty())
        enfocarLista = Buscar() || enfocarLista;
    buscado = true;
    return enfocarLista;
}

QString LogicaPosicion::Elegir() {
    buscado = false;
    if (LstNCM_ListIndex < 0 || LstNCM_ListIndex >= LstNCM.size())
        return QString();
    return LstNCM.at(LstNCM_ListIndex);
}

} // namespace tarvix
