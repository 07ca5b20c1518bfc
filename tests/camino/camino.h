#pragma once

#include "app/asistente.h"
#include "components/clbase.h"
#include "components/interaccion.h"
#include "components/interaccionguionada.h"

#include <QHash>
#include <QTemporaryDir>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

// The whole road of an invoice, headless: the program started on a fresh data folder, its customs
// entities on the embedded database or on the test server, driven through the logic of its windows.
namespace camino {

// The message of a skipped server test.
inline constexpr const char* kSinServidor =
    "Sin servidor PostgreSQL de prueba (TARVIX_PG_HOST no definido): se omite el caso del servidor";

// entidades.ini of the data folder with both entities on `p`, as a user writes it (the limits in
// seconds only when `p` gives them).
void escribirIni(const QString& carpeta, const Velno::ParametrosConexion& p);

// A name of this test program alone ("<prefijo><pid>"): test programs may share the server.
QString nombrePropio(const QString& prefijo);

// Runs tools/pg_prueba.sh with the action ("parar", "arrancar") on the test cluster. True on success.
bool clusterDePrueba(const QString& accion);

// Status label and progress bar; `alAvanzar` runs on every bar value.
class ProgresoEspiado : public tarvix::Progreso {
public:
    void mensaje(const QString& texto) override { mensajes << texto; }
    void barraVisible(bool) override {}
    void barraRango(int, int) override {}
    void barraValor(int valor) override {
        if (alAvanzar)
            alAvanzar(valor);
    }
    QStringList mensajes;
    std::function<void(int)> alAvanzar;
};

// One run of the program with the settings INTCAT and INTDUN "07", its step-2 and step-3 logic
// plugged into the wizard as the main window plugs them.
class Programa {
public:
    // Without `servidor` the entities are the embedded database of the data folder.
    explicit Programa(const std::optional<Velno::ParametrosConexion>& servidor = std::nullopt,
                      const QString& catalogo = QStringLiteral("1"));
    ~Programa();

    tarvix::Servicios srv;

    tarvix::EstadoAsistente estado;
    tarvix::InteraccionGuionada guion;
    ProgresoEspiado progreso;

    tarvix::ControladorPrincipal& principal() { return m_asistente->principal(); }
    tarvix::ControladorPaso2& paso2() { return m_asistente->paso2(); }
    tarvix::ControladorPaso3& paso3() { return m_asistente->paso3(); }
    QString carpeta() const { return m_dir.path(); }

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

    // Statements on the working database and the customs database ("INTERNOS").
    void trabajo(const QString& sql);
    void aduana(const QString& sql);
    QList<QVariantMap> filasTrabajo(const QString& sql);
    QList<QVariantMap> filasAduana(const QString& sql);
    // The texts of the messages shown since the last call.
    QStringList mensajesNuevos();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<tarvix::Asistente> m_asistente;
    qsizetype m_mensajesVistos = 0;
};

// Inserts the interno (INTN) and `cuantas` correct article lines of it ("F-1" ...), ready to transfer.
void lineasCorrectas(Programa& p, int cuantas);

// What a test program writes into a shared server: its internos and its own catalog (catalog "1"
// is left alone), removed when the object is made and when it goes.
class Limpieza {
public:
    Limpieza(Programa& p, QString catalogo, QStringList internos);
    ~Limpieza() { borrar(); }
    Limpieza(const Limpieza&) = delete;
    Limpieza& operator=(const Limpieza&) = delete;

private:
    void borrar();
    Programa& m_p;
    QString m_catalogo;
    QStringList m_internos;
};

// The program on the test server with an interno of its own (and a catalog named after its first
// letter) of `lineas` correct lines, ready to transfer; what it leaves on the server is removed.
struct InternoDePrueba {
    InternoDePrueba(const Velno::ParametrosConexion& pg, const QString& prefijo, int lineas);
    Programa prog;
    const QString interno;
    const QString catalogo;
    Limpieza limpieza;
};

// The rows of a recordset, each column under its lower-case name.
QList<QVariantMap> filas(Velno::clBase& base, const QString& sql);

} // namespace camino
