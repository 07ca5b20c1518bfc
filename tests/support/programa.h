#pragma once

#include "app/asistente.h"
#include "components/clbase.h"
#include "components/estadoasistente.h"
#include "components/interaccionguionada.h"
#include "components/recordset.h"
#include "components/servicios.h"

#include <QHash>
#include <QList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

namespace prueba {

// The status label and progress bar, recorded. `fallarEn` makes the message with that text raise,
// to reach the failure report of the procedure that shows it; `alAvanzar` runs on every bar value.
class ProgresoGrabado : public tarvix::Progreso {
public:
    void mensaje(const QString& texto) override;
    void barraVisible(bool v) override { visible = v; }
    void barraRango(int minimo, int maximo) override {
        min = minimo;
        max = maximo;
    }
    void barraValor(int v) override;

    QStringList mensajes;
    bool visible = false;
    int min = 0;
    int max = 0;
    int valor = 0;
    int pasos = 0;
    QString fallarEn;
    std::function<void(int)> alAvanzar;
};

// Writes an entidades.ini in `carpeta` that puts the entities NCM and INTERNOS on the server `p`.
void escribirIni(const QString& carpeta, const Velno::ParametrosConexion& p);

// The rows of a query, columns by lower-case name.
QList<QVariantMap> filas(Velno::clBase& base, const QString& sql);

// One run of the program without windows, as the main window starts it: its services and wizard
// state, the prompts answered from a script, the progress recorded, and the main controller after
// the main form loaded on a data folder, with the logic of steps 2 and 3 plugged into it.
class Programa {
public:
    struct Opciones {
        // The data folder; a fresh one of the object's own when empty.
        QString carpeta;
        // Steps 2 and 3 plugged into the wizard; without them the main controller stands alone.
        bool pasos = true;
        // Give the test program settings of its own and empty them first.
        bool aislar = true;
        // Settings INTCAT and INTDUN stored before the start; left as they are when null.
        QString catalogo;
        QString unidad;
        // The customs entities on this server instead of the embedded database.
        std::optional<Velno::ParametrosConexion> servidor;
        // A load maps the columns (remembered layout, proposal from headers); without it the field
        // row stays empty after a load (with settings of the test's own, they are left as they are).
        bool mapeoAlCargar = false;

        Opciones enCarpeta(const QString& c) const {
            return con([&](Opciones& o) { o.carpeta = c; });
        }
        Opciones sinPasos() const {
            return con([](Opciones& o) { o.pasos = false; });
        }
        Opciones sinAislar() const {
            return con([](Opciones& o) { o.aislar = false; });
        }
        Opciones conAjustes(const QString& cat, const QString& uni) const {
            return con([&](Opciones& o) {
                o.catalogo = cat;
                o.unidad = uni;
            });
        }
        Opciones enServidor(const std::optional<Velno::ParametrosConexion>& s) const {
            return con([&](Opciones& o) { o.servidor = s; });
        }
        Opciones conMapeoAlCargar() const {
            return con([](Opciones& o) { o.mapeoAlCargar = true; });
        }

    private:
        template <typename F> Opciones con(F cambio) const {
            Opciones o = *this;
            cambio(o);
            return o;
        }
    };

    Programa();
    explicit Programa(const Opciones& opciones);
    virtual ~Programa();
    Programa(const Programa&) = delete;
    Programa& operator=(const Programa&) = delete;

    tarvix::Servicios srv;
    tarvix::EstadoAsistente estado;
    tarvix::InteraccionGuionada guion;
    ProgresoGrabado progreso;
    tarvix::ControladorPrincipal* c = nullptr; // the main controller

    tarvix::ControladorPrincipal& principal() { return *c; }
    tarvix::Asistente& asistente();
    tarvix::ControladorPaso2& paso2();
    tarvix::ControladorPaso3& paso3();
    QString carpeta() const { return m_carpeta; }
    // The start left the program on step 1 without a message.
    bool listo() const { return estado.g_iPaso == 1 && guion.avisos.isEmpty(); }

    // The working database and the customs entities INTERNOS and NCM.
    Velno::clBase& trabajo() { return *srv.g_oBase; }
    Velno::clBase& aduana();
    Velno::clBase& ncm();
    // A statement, or a query, on the working database unless another connection is given.
    void ejecutar(const QString& sql) { ejecutar(trabajo(), sql); }
    static void ejecutar(Velno::clBase& base, const QString& sql);
    tarvix::Recordset consultar(const QString& sql) { return consultar(trabajo(), sql); }
    static tarvix::Recordset consultar(Velno::clBase& base, const QString& sql);
    // The first value of a query as text ("<sin fila>" when it gives none, empty text for Null).
    QString valor(const QString& sql) { return valor(trabajo(), sql); }
    static QString valor(Velno::clBase& base, const QString& sql);
    QList<QVariantMap> filasTrabajo(const QString& sql) { return filas(trabajo(), sql); }
    QList<QVariantMap> filasAduana(const QString& sql) { return filas(aduana(), sql); }
    // A statement on the customs database, outside the program's batches.
    void ejecutarAduana(const QString& sql);

    // What a clerk does on the whole road:
    // frmInterno creates the interno, the list selects it and "Siguiente >" goes to step 2.
    bool crearYElegirInterno(const QString& nro);
    // "Procesar" with `ruta` chosen in the open-file dialog.
    void abrirFactura(const QString& ruta);
    // F1 on `columna` with the field chooser answering `etiqueta`.
    void establecerCampo(int columna, const QString& etiqueta);
    // Answers the next `cuantas` country-relation windows with the window's logic: the origin text
    // related to the country of `paises` (origin text -> country id), goods state "2".
    void responderRelaciones(int cuantas, const QHash<QString, QString>& paises);
    // The record editor on line `artord`: the position typed and Enter (the value-suffix dialogue
    // answers from the script), then F11. True when it saved the line.
    bool corregirLinea(int artord, const QString& posicion);

    // The texts of the messages shown, and those shown since the last call.
    QStringList mensajes() const;
    QStringList mensajesNuevos();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_carpeta;
    std::unique_ptr<tarvix::Asistente> m_asistente;
    std::unique_ptr<tarvix::ControladorPrincipal> m_solo;
    qsizetype m_mensajesVistos = 0;
};

} // namespace prueba
