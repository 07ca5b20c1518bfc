#pragma once

#include "intake/carga/grilla.h"

#include <QObject>
#include <QString>

namespace tarvix {

struct EstadoAsistente;

struct Servicios;

// The logic of step 2 of the main window: the invoice path, the preview grid and the actions on
// them ("Procesar", "Selección automatica", keys on the grid), and the mapping verification the
// wizard asks for.
class ControladorPaso2 : public QObject {
    Q_OBJECT
public:
    // Key code of F1 as the grid reports key downs.
    static constexpr int vbKeyF1 = 112;

    explicit ControladorPaso2(Servicios& srv, EstadoAsistente& estado, QObject* parent = nullptr);

    ModeloGrilla& grilla() { return m_grilla; }
    // The text of FRAM2_TxtArchivo.
    const QString& archivo() const { return m_archivo; }

    void FRAM2_CmdProcesar_Click();
    void cmdAutomatico_Click();
    void FRAM2_Grid_KeyDown(int tecla);
    bool FRAM2_VerificarDatos();

signals:
    void archivoCambiado(const QString& ruta);
    // An invoice was loaded into the grid: "Siguiente >" may go on.
    void cargaLista();

private:
    Servicios& m_srv;
    EstadoAsistente& m_estado;
    ModeloGrilla m_grilla;
    QString m_archivo;
};

} // namespace tarvix
