#include "app/asistente.h"

#include "data/versiones.h"
#include "pipeline/correcciones.h"
#include "pipeline/proceso.h"
#include "pipeline/revisionfactura.h"
#include "settings/paisesnuevos.h"

#include <utility>

namespace tarvix {

Asistente::Asistente(Servicios& srv, EstadoAsistente& estado)
    : m_srv(srv), m_estado(estado), m_principal(srv, estado), m_paso2(srv, estado), m_paso3(srv, estado) {
    m_principal.setPasos(this, this);
    QObject::connect(&m_paso2, &ControladorPaso2::cargaLista, &m_principal,
                     [this] { m_principal.habilitarSiguiente(true, QString()); });
    // The step-3 texts go through the wizard, so that its redraws keep them.
    m_paso3.mensaje = [this](const QString& texto) { m_principal.setMensaje(texto); };
}

Asistente::~Asistente() {
    m_principal.setPasos(nullptr, nullptr);
}

bool Asistente::FRAM2_VerificarDatos() {
    // Between the mapping and the run: the check of the whole invoice, then its new origins.
    if (!m_paso2.FRAM2_VerificarDatos() || !revisarAntesDeProcesar(m_srv, m_estado, m_paso2.grilla()))
        return false;
    relacionarOrigenesNuevos(m_srv, m_estado, m_paso2.grilla());
    return true;
}

bool Asistente::FRAM2_GuardarDatosToBase() {
    const auto corregidas = correcciones::preguntarYLeer(m_srv, m_estado.g_sInterno);
    versiones::guardarSiSePuede(*m_srv.g_oBase, m_estado.g_sInterno, versiones::Motivo::Proceso);
    if (!tarvix::FRAM2_GuardarDatosToBase(m_srv, m_estado, m_paso2.grilla()))
        return false;
    if (!corregidas.empty())
        m_avisoCorrecciones = correcciones::conservar(m_srv, m_estado.g_sInterno, corregidas);
    return true;
}

void Asistente::FRAM3_CargarEstadisticas() {
    m_paso3.FRAM3_CargarEstadisticas();
    if (!m_avisoCorrecciones.isEmpty())
        m_principal.setMensaje(std::exchange(m_avisoCorrecciones, QString()));
}

void Asistente::FRM3_Tranferir() {
    m_paso3.FRM3_Tranferir();
    if (m_paso3.transferido())
        m_principal.setMensaje(QStringLiteral("Fin de proceso. Se transfirió el interno ") +
                               m_estado.g_sInterno +
                               QStringLiteral("; con «< Anterior» se pasa a otro interno."));
}

} // namespace tarvix
