#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace Velno {
class clBase;
}
namespace Trelvan {
class Central;
}
namespace Mesquel {
class Formatos;
}
namespace Pindra {
class Archivos;
}

namespace tarvix {

// What the wizard asks of its later steps (app/ implements them over the features' controllers).
class PasoCarga {
public:
    virtual ~PasoCarga() = default;
    virtual bool FRAM2_VerificarDatos() = 0;
    virtual bool FRAM2_GuardarDatosToBase() = 0;
};
class PasoResultados {
public:
    virtual ~PasoResultados() = default;
    virtual void FRAM3_CargarEstadisticas() = 0;
    virtual void FRM3_Tranferir() = 0;
};

// The logic of the main window: start-up, the three-step wizard and the interno list. It holds the
// state the window shows (captions, the step's frame, the button and its Tag, the list) and tells
// the window when it changed; the window only draws it and forwards the user's actions.
class ControladorPrincipal : public QObject {
    Q_OBJECT
public:
    struct Interno {
        QString nro;
        QString dsc;
    };

    ControladorPrincipal(Servicios& srv, EstadoAsistente& estado, QObject* parent = nullptr);
    ~ControladorPrincipal() override;

    Servicios& servicios() { return m_srv; }
    EstadoAsistente& estado() { return m_estado; }
    // The steps 2 and 3 the wizard drives; without them it only changes frames.
    void setPasos(PasoCarga* carga, PasoResultados* resultados) {
        m_carga = carga;
        m_resultados = resultados;
    }

    // Start-up: components, version line, working database, schema upgrade, interno list,
    // settings, step 1. `carpetaDatos` is the data folder.
    void Form_Load(const QString& carpetaDatos);
    // Reads again whether the entity file names the demonstration database (after it changed).
    void actualizarBaseDemostracion();
    void MAIN_CambiarPaso();
    // "< Anterior": step 3 back to step 2 (another invoice for the same interno), step 2 back to
    // step 1 with the interno list read again. Nothing stored changes.
    void MAIN_PasoAnterior();
    // "Deshacer" (Ctrl+Z) in steps 2 and 3: the interno's lines go back to their last version (before
    // the last processing run, save in the editor or transfer) and the message says what was undone;
    // the step-3 counters are counted again. Repeated, it goes further back.
    void MAIN_Deshacer();
    void FRAM1_CargarInternos();
    void FRAM1_EliminarInterno();
    // After frmInterno closed: refills the list when it created a row.
    void FRAM1_DespuesDeNuevoInterno();
    // Enter in the interno list.
    void FRAM1_Enter();

    // What the window shows.
    QString lbPasoNro = QStringLiteral("Paso 1");
    QString lbPasoDesc = QStringLiteral("Seleccione el interno a procesar");
    QString Main_lbMensaje;
    QString lbVersion = QStringLiteral("Version");
    QString cmdSiguienteCaption = QStringLiteral("Siguiente >");
    bool cmdSiguienteEnabled = true;
    bool cmdSiguienteNegrita = false;
    QString cmdSiguienteTag;
    int marcoAlFrente = 1; // FRAM1, FRAM2 or FRAM3
    bool fram1Habilitado = true;
    bool fram2Habilitado = true;
    bool cmdAnteriorVisible = false;
    // The customs entities are the embedded demonstration database.
    bool baseDemostracion = false;
    // The interno worked on, in the heading of steps 2 and 3 ("Interno 24001 - Prueba").
    QString lbInterno;
    std::vector<Interno> internos;
    int internoSeleccionado = -1;

    void seleccionarInterno(int fila);
    // Sets the step-2 flag (loading a spreadsheet clears it and enables the button).
    void habilitarSiguiente(bool habilitado, const QString& tag);
    void setMensaje(const QString& texto);
    // Tells the window to redraw.
    void notificar() { emit cambiado(); }

    // "1.1.20": the program's version number.
    static QString numeroVersion();
    // The version caption of the main window: number and file description.
    static QString lineaVersion();

signals:
    void cambiado();
    void enfocarListaInternos();

private:
    void ActualizarTablaART();
    void cargarConfiguracion();
    // Step 2 on the interno of g_sInterno: the frame, the heading and "Siguiente >" as far as the
    // interno's stored lines allow. `linea` follows the numbered lines of the caller's report.
    void entrarPaso2(int& linea);

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    QString m_carpetaDatos;
    PasoCarga* m_carga = nullptr;
    PasoResultados* m_resultados = nullptr;
    std::unique_ptr<Velno::clBase> m_base;
    std::unique_ptr<Trelvan::Central> m_central;
    std::unique_ptr<Mesquel::Formatos> m_formatos;
    std::unique_ptr<Pindra::Archivos> m_archivos;
};

// frmInterno's logic: validates and inserts a new interno. True when the window is to close.
bool NuevoInterno(Servicios& srv, EstadoAsistente& estado, const QString& txtInterno,
                  QString& txtDescripcion);

} // namespace tarvix
