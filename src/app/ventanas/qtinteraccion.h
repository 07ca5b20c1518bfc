#pragma once

#include "components/interaccion.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

class QWidget;

namespace tarvix {

struct EstadoAsistente;

struct Servicios;

// The seam with real widgets: message boxes, input boxes, file dialogs, and the modal windows the
// logic opens mid-run (country relation, field chooser, suffix option chooser).
class QtInteraccion : public Interaccion {
public:
    explicit QtInteraccion(Servicios& srv, EstadoAsistente& estado, QWidget* ventana = nullptr)
        : m_srv(srv), m_estado(estado), m_ventana(ventana) {}
    void setVentana(QWidget* v) { m_ventana = v; }
    QWidget* ventana() const { return m_ventana; }

    Respuesta mensaje(const QString& texto, Icono icono, Botones botones, const QString& titulo,
                      std::optional<Respuesta> porDefecto) override;
    QString entrada(const QString& pregunta, const QString& titulo, const QString& porDefecto,
                    bool* cancelado) override;
    QString abrirArchivo(const QString& titulo, const QString& extensiones, const QString& descripcion,
                         const QString& carpeta) override;
    QString guardarArchivo(const QString& titulo, const QString& nombrePropuesto,
                           const QString& filtro) override;
    void relacionPais() override;
    void elegirCampo() override;
    int elegirOpcion(const QString& titulo, const QStringList& opciones, int porDefecto) override;
    bool revisionFactura(const RevisionFactura& revision) override;
    bool relacionPaises(std::vector<OrigenNuevo>& origenes,
                        const std::vector<PaisDisponible>& paises) override;
    void cursorEspera(bool activo) override;

    // Title of the message boxes that give none of their own.
    static QString tituloPrograma();

private:
    QWidget* padre() const;

    Servicios& m_srv;

    EstadoAsistente& m_estado;
    QPointer<QWidget> m_ventana;
};

// Status label and progress bar of the main window, repainted at each change (long runs do not
// return to the event loop). The bar takes a new value at most every kIntervaloBarra; the last
// value held back is shown before any other change of the label or the bar, and when the run
// returns to the event loop, so that the bar always ends on the value it was last given.
class QtProgreso : public Progreso {
public:
    static constexpr std::chrono::milliseconds kIntervaloBarra{30};

    // `alMensaje` keeps the owner's own copy of the status text (the window redraws from it).
    QtProgreso(QLabel* etiqueta, QProgressBar* barra, std::function<void(const QString&)> alMensaje = {});
    void mensaje(const QString& texto) override;
    void barraVisible(bool visible) override;
    void barraRango(int minimo, int maximo) override;
    void barraValor(int valor) override;

    // While the main window runs one of its long actions, the beats of long statements and loops
    // (tarvix::latido) also let the window repaint, move and resize, as the progress updates do;
    // outside of them, and while a dialog of the run is open, a beat does nothing.
    class Corrida {
    public:
        explicit Corrida(QtProgreso& p) : m_p(p) { ++m_p.m_corridas; }
        ~Corrida() { --m_p.m_corridas; }
        Corrida(const Corrida&) = delete;
        Corrida& operator=(const Corrida&) = delete;

    private:
        QtProgreso& m_p;
    };
    // The action of the beats: installed by the main window.
    static void latido(void* progreso);

private:
    // Shows the value held back, if any.
    void mostrarPendiente();
    // Lets the window repaint, move and resize during a run: the events waiting, other than the
    // user's input, are handled at most every kIntervaloBarra. Input still waits for the end of the
    // run, as it always did.
    void darVuelta();

    QPointer<QLabel> m_etiqueta;
    QPointer<QProgressBar> m_barra;
    std::function<void(const QString&)> m_alMensaje;
    std::optional<int> m_pendiente;
    QElapsedTimer m_ultimo; // since the bar last took a value
    QTimer m_resto;         // shows the value held back once the event loop runs
    QElapsedTimer m_vuelta; // since the events were last handled
    bool m_enVuelta = false;
    int m_corridas = 0; // Corrida objects alive
};

} // namespace tarvix
