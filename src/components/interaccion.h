#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tarvix {

struct RevisionFactura;
struct OrigenNuevo;
struct PaisDisponible;

enum class Icono { Ninguno, Critico, Pregunta, Exclamacion, Informacion };
enum class Botones { Aceptar, SiNo, SiNoCancelar, AceptarCancelar };
enum class Respuesta { Aceptar, Si, No, Cancelar };

// The button a message box presses on Enter: `pedido` when the box shows it, else its first.
Respuesta botonPorDefecto(Botones botones, std::optional<Respuesta> pedido);

// Every question the logic asks the user goes through this seam: message boxes, input boxes, the
// file dialogs and the modal windows that logic opens in the middle of a run. The windows implement
// it with real widgets; tests answer from a script.
class Interaccion {
public:
    virtual ~Interaccion() = default;

    // `porDefecto` names the button Enter presses; without it, the first button (Aceptar or Sí).
    virtual Respuesta mensaje(const QString& texto, Icono icono = Icono::Ninguno,
                              Botones botones = Botones::Aceptar, const QString& titulo = QString(),
                              std::optional<Respuesta> porDefecto = std::nullopt) = 0;
    // InputBox: the typed text, or empty text when the user cancelled (*cancelado set).
    virtual QString entrada(const QString& pregunta, const QString& titulo, const QString& porDefecto,
                            bool* cancelado = nullptr) = 0;
    // Open-file dialog: the chosen path, empty when cancelled. `extensiones` as "xls;*.xlsx"; the
    // dialog starts in `carpeta` (the user's documents when it is empty or gone), no name typed.
    virtual QString abrirArchivo(const QString& titulo, const QString& extensiones,
                                 const QString& descripcion, const QString& carpeta) = 0;
    // Save-file dialog: the chosen path, empty when cancelled.
    virtual QString guardarArchivo(const QString& titulo, const QString& nombrePropuesto,
                                   const QString& filtro) = 0;

    // Modal windows opened by logic. Each hands its result back through the globals its caller
    // reads (g_sRetorno, g_sRetornoESM).
    virtual void relacionPais() = 0; // country relation window
    virtual void elegirCampo() = 0;  // field chooser window
    // Option chooser of a suffix group: the options as "code - detail" lines; the chosen index or -1.
    virtual int elegirOpcion(const QString& titulo, const QStringList& opciones, int porDefecto) = 0;
    // The findings of the check of an invoice before the run: true for "Procesar igual", false for
    // "Volver". Without a window: the button Enter presses ("Procesar igual" when there are only
    // warnings).
    virtual bool revisionFactura(const RevisionFactura& revision);
    // The origin texts without relation, all in one window: the clerk confirms or picks the country
    // (id of `paises`) and the goods state of each. True for F11 (store them), false for Esc.
    // Without a window: false.
    virtual bool relacionPaises(std::vector<OrigenNuevo>& origenes,
                                const std::vector<PaisDisponible>& paises);

    // Hourglass pointer while a long run works.
    virtual void cursorEspera(bool activo) { (void)activo; }
    // Whether the modal windows above can be shown to someone (false where no one can answer).
    virtual bool abreVentanas() const { return true; }
};

// Status label and progress bar of the main window.
class Progreso {
public:
    virtual ~Progreso() = default;
    virtual void mensaje(const QString& texto) = 0;
    virtual void barraVisible(bool visible) = 0;
    virtual void barraRango(int minimo, int maximo) = 0;
    virtual void barraValor(int valor) = 0;
};

// A seam that asks nothing: message boxes answer with the button Enter would press, inputs and file
// dialogs are cancelled, the modal windows choose nothing. It stands in until the application
// installs its own, so a run without windows never waits for an answer.
class InteraccionNula : public Interaccion {
public:
    static InteraccionNula& instancia();
    Respuesta mensaje(const QString&, Icono, Botones botones, const QString&,
                      std::optional<Respuesta> porDefecto) override {
        return botonPorDefecto(botones, porDefecto);
    }
    QString entrada(const QString&, const QString&, const QString&, bool* cancelado) override {
        if (cancelado)
            *cancelado = true;
        return {};
    }
    QString abrirArchivo(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString guardarArchivo(const QString&, const QString&, const QString&) override { return {}; }
    void relacionPais() override {}
    void elegirCampo() override {}
    int elegirOpcion(const QString&, const QStringList&, int) override { return -1; }
    bool revisionFactura(const RevisionFactura& revision) override;
    bool relacionPaises(std::vector<OrigenNuevo>&, const std::vector<PaisDisponible>&) override {
        return false;
    }
    bool abreVentanas() const override { return false; }
};

// A progress that shows nothing (headless runs and benchmarks).
class ProgresoNulo : public Progreso {
public:
    static ProgresoNulo& instancia();
    void mensaje(const QString&) override {}
    void barraVisible(bool) override {}
    void barraRango(int, int) override {}
    void barraValor(int) override {}
};

} // namespace tarvix
