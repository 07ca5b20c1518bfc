#pragma once

#include "programa.h"

#include <QHash>
#include <optional>

// The whole road of an invoice, headless: the program started on a fresh data folder, its customs
// entities on the embedded database or on the test server, driven through the logic of its windows.
namespace camino {

// The message of a skipped server test.
inline constexpr const char* kSinServidor =
    "Sin servidor PostgreSQL de prueba (TARVIX_PG_HOST no definido): se omite el caso del servidor";

// The example invoice's origin texts and the countries the user relates them to.
inline const QHash<QString, QString> kPaisesEjemplo{{QStringLiteral("CHINA"), QStringLiteral("310")},
                                                    {QStringLiteral("P.R. CHINA"), QStringLiteral("310")},
                                                    {QStringLiteral("TAIWAN"), QStringLiteral("313")},
                                                    {QStringLiteral("MADE IN ITALY"), QStringLiteral("417")},
                                                    {QStringLiteral("USA"), QStringLiteral("212")}};

using prueba::escribirIni;
using prueba::filas;

// A name of this test program alone ("<prefijo><pid>"): test programs may share the server.
QString nombrePropio(const QString& prefijo);

// Runs tools/pg_prueba.sh with the action ("parar", "arrancar") on the test cluster. True on success.
bool clusterDePrueba(const QString& accion);

// One run of the program with the settings INTCAT (`catalogo`) and INTDUN "07", its step-2 and
// step-3 logic plugged into the wizard as the main window plugs them. Without `servidor` the
// entities are the embedded database of the data folder.
struct Programa : prueba::Programa {
    explicit Programa(const std::optional<Velno::ParametrosConexion>& servidor = std::nullopt,
                      const QString& catalogo = QStringLiteral("1"))
        : prueba::Programa(Opciones().conAjustes(catalogo, QStringLiteral("07")).enServidor(servidor)) {}
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

} // namespace camino
