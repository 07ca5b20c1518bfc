#pragma once

#include "components/hallazgos.h"
#include "components/interaccion.h"
#include "components/origenesnuevos.h"

#include <QList>
#include <QQueue>
#include <functional>
#include <vector>

namespace tarvix {

// The seam for headless runs: records every prompt and answers from queues. With an empty queue a
// message is answered with its default button, an input box with its default, a file dialog with empty text.
class InteraccionGuionada : public Interaccion {
public:
    struct Aviso {
        enum class Tipo { Mensaje, Entrada, Abrir, Guardar, RelacionPais, ElegirCampo, ElegirOpcion } tipo;
        QString texto; // message text, prompt, or dialog title
        Icono icono = Icono::Ninguno;
        Botones botones = Botones::Aceptar;
        QString titulo; // message title, input box title, dialog filter
        QString porDefecto;
        Respuesta boton = Respuesta::Aceptar; // of a message: the button Enter presses
    };

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
    // Keeps the findings shown and answers from `respuestasRevision`, else with the button Enter
    // presses. Not recorded among the prompts: an invoice with warnings shows it on every run.
    bool revisionFactura(const RevisionFactura& revision) override;
    // Keeps the rows shown and runs the next of `ventanasPaises` on them; Esc when none is left.
    bool relacionPaises(std::vector<OrigenNuevo>& origenes,
                        const std::vector<PaisDisponible>& paises) override;

    // Answers, taken in order.
    QQueue<Respuesta> respuestas;
    QQueue<QString> entradas; // a null QString answers "cancel"
    QQueue<QString> archivos;
    QQueue<int> opciones;
    QQueue<bool> respuestasRevision; // true: "Procesar igual"
    // Scripted modal windows: each call runs the next function (or does nothing when none is left).
    QQueue<std::function<void()>> ventanasRelacionPais;
    QQueue<std::function<void()>> ventanasCampo;
    // The country-relation window once its queue is empty (none when unset).
    std::function<void()> relacionPaisSinGuion;

    // The findings of each check window shown, in order.
    QList<std::vector<Hallazgo>> revisiones;
    // The window of the new origins: the rows as shown, and the scripted answers (true: F11).
    QList<std::vector<OrigenNuevo>> origenesMostrados;
    QQueue<std::function<bool(std::vector<OrigenNuevo>&)>> ventanasPaises;

    // Every prompt shown, in order.
    QList<Aviso> avisos;
    QList<Aviso> mensajes() const;
    void limpiar() { avisos.clear(); }
};

} // namespace tarvix
