#include "settings/logicarelpais.h"

#include "components/clbase.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"

namespace tarvix {

LogicaRelPais::LogicaRelPais(Servicios& srv, EstadoAsistente& estado) : m_srv(srv), m_estado(estado) {}

void LogicaRelPais::Form_Load() {
    txtValor = m_estado.g_sRetorno;
    m_estado.g_sRetorno = QStringLiteral("");
    try {
        Recordset rs;
        m_srv.g_oBase->setSql(QStringLiteral("select * from PAIS order by Descripcion"));
        if (m_srv.g_oBase->CrearRs(rs)) {
            cboPais.clear();
            cboidPais.clear();
            paisSeleccionado = -1;
            while (!rs.Fin()) {
                const QString id = m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("id")));
                cboidPais << id;
                cboPais << m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("descripcion"))) +
                               QStringLiteral(" (") + id + u')';
                rs.MoveNext();
            }
            if (!cboPais.isEmpty())
                paisSeleccionado = 0;
        }
    } catch (const VbError& e) {
        m_srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmRelPais.Form_Load")), Icono::Critico);
    }
}

bool LogicaRelPais::f_Grabar() {
    if (vb::Trim(txtValor).isEmpty()) {
        m_srv.interaccion().mensaje(QStringLiteral("el campo 'Valor origen' no puede estar vacio"),
                                    Icono::Critico);
        return false;
    }
    if (vb::Trim(txtESM).isEmpty()) {
        m_srv.interaccion().mensaje(QStringLiteral("El campo Estado de Mercaderia no puede estar vacio"),
                                    Icono::Critico);
        return false;
    }
    // Without a country the relation would hand back an empty code, which callers read as "cancelled".
    if (paisSeleccionado < 0 || paisSeleccionado >= cboidPais.size()) {
        m_srv.interaccion().mensaje(QStringLiteral("Debe seleccionar un país en 'Pais - Sistema Maria'"),
                                    Icono::Critico);
        return false;
    }
    const QString id = cboidPais.at(paisSeleccionado);
    try {
        // The values are written with their quotes doubled, so "D'ITALIA" is stored as typed.
        m_srv.g_oBase->setSql(QStringLiteral("insert into ORG (PAI, ORI, ESM) values (") + u'\'' +
                              vb::DoblarComillas(txtValor) + QStringLiteral("',") + u'\'' +
                              vb::DoblarComillas(id) + QStringLiteral("',") + u'\'' +
                              vb::DoblarComillas(vb::Trim(txtESM)) + QStringLiteral("')"));
        if (m_srv.g_oBase->Ejecutar() > 0) {
            m_estado.g_sRetorno = id;
            m_estado.g_sRetornoESM = txtESM;
            return true;
        }
    } catch (const VbError& e) {
        // A relation already stored for the text, or a database failure: the window stays open.
        m_srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmRelPais.f_Grabar")), Icono::Critico);
    }
    return false;
}

void LogicaRelPais::Cancelar() {
    m_estado.g_sRetorno = QStringLiteral("");
}

} // namespace tarvix
