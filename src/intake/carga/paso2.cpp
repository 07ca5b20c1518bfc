#include "intake/carga/paso2.h"

#include "components/servicios.h"
#include "intake/carga/carga.h"
#include "intake/carga/disposiciones.h"
#include "intake/carga/mapeo.h"

namespace tarvix {

ControladorPaso2::ControladorPaso2(Servicios& srv, EstadoAsistente& estado, QObject* parent)
    : QObject(parent), m_srv(srv), m_estado(estado), m_grilla(this) {}

void ControladorPaso2::FRAM2_CmdProcesar_Click() {
    const QString antes = m_archivo;
    if (!Seleccionar_Archivo_XLS(m_srv, m_archivo))
        return;
    if (m_archivo != antes)
        emit archivoCambiado(m_archivo);
    // A load that fails keeps the grid on screen: the path goes back to the file that grid shows,
    // so "Siguiente >" never processes one invoice under another's name.
    if (lf_LevantarExcel(m_archivo, m_grilla, m_srv)) {
        aplicarMapeoInicial(m_grilla, m_srv, m_estado);
        emit cargaLista();
    } else if (m_archivo != antes) {
        m_archivo = antes;
        emit archivoCambiado(m_archivo);
    }
}

void ControladorPaso2::cmdAutomatico_Click() {
    tarvix::cmdAutomatico_Click(m_grilla, m_srv);
}

void ControladorPaso2::FRAM2_Grid_KeyDown(int tecla) {
    if (tecla == vbKeyF1)
        FRAM2_EstablecerCampo(m_grilla, m_srv, m_estado);
}

bool ControladorPaso2::FRAM2_VerificarDatos() {
    if (!tarvix::FRAM2_VerificarDatos(m_grilla, m_srv))
        return false;
    // The processing starts: the mapping is remembered for the next invoice with these headers.
    if (m_srv.g_oBase && recordarMapeosActivo())
        disposiciones::recordar(*m_srv.g_oBase, m_grilla);
    return true;
}

} // namespace tarvix
