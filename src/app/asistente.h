#pragma once

#include "app/controladorprincipal.h"
#include "intake/carga/paso2.h"
#include "transfer/paso3.h"

namespace tarvix {

// The three steps put together without windows: the wizard, the controller of step 2 (invoice and
// grid) and of step 3 (counters and transfer). The wizard asks step 2 to verify and process the
// grid and step 3 to count and transfer; a loaded invoice enables "Siguiente >". The main window
// draws these controllers; tests and benchmarks drive them directly.
class Asistente : public PasoCarga, public PasoResultados {
public:
    explicit Asistente(Servicios& srv, EstadoAsistente& estado);
    ~Asistente() override;

    ControladorPrincipal& principal() { return m_principal; }
    ControladorPaso2& paso2() { return m_paso2; }
    ControladorPaso3& paso3() { return m_paso3; }

    bool FRAM2_VerificarDatos() override;
    bool FRAM2_GuardarDatosToBase() override;
    void FRAM3_CargarEstadisticas() override;
    void FRM3_Tranferir() override;

private:
    Servicios& m_srv;
    EstadoAsistente& m_estado;
    ControladorPrincipal m_principal;
    ControladorPaso2 m_paso2;
    ControladorPaso3 m_paso3;
    // How many corrections the last run carried over, for the status once step 3 is counted.
    QString m_avisoCorrecciones;
};

} // namespace tarvix
