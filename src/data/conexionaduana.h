#pragma once

#include "components/clbase.h"

#include <QString>
#include <QStringList>

namespace tarvix {

// Where the customs-system database is: what the first start asks and "Configuración" changes.
struct ConexionAduana {
    enum class Tipo { Demostracion, Servidor, Odbc };
    Tipo tipo = Tipo::Demostracion;
    QString host = QStringLiteral("localhost");
    int puerto = 5432;
    QString base;   // database name on the server
    QString origen; // ODBC data source name
    QString usuario;
    QString clave;

    // The connection parameters of both entities (NCM and INTERNOS); the demonstration database
    // of `carpetaDatos` for Tipo::Demostracion.
    Velno::ParametrosConexion parametros(const QString& carpetaDatos) const;
};

namespace conexion {

// No entity file yet in the data folder: the program has never been started there.
bool esPrimerArranque(const QString& carpetaDatos);

// What is missing before a connection can be tried ("Falta el nombre del servidor."), empty when
// nothing is.
QString faltante(const ConexionAduana& c);

// Opens a connection with these parameters and reads one row of the customs tables. Empty text on
// success, otherwise the reason in Spanish.
QString probarConexion(const ConexionAduana& c, const QString& carpetaDatos);

// Writes the entity file of the data folder for `c` (the demonstration database is created when
// it is missing). A file that holds a password is readable only by its owner. False, with the
// reason in `error`, when it could not be written; the earlier file, if any, is then unchanged.
bool escribirEntidades(const QString& carpetaDatos, const ConexionAduana& c, QString* error);

// The connection the entity file of the data folder describes (the demonstration database when
// there is no file or it names the embedded one).
ConexionAduana leerEntidades(const QString& carpetaDatos);

// True when the entity file of the data folder puts the customs entities on its embedded
// demonstration database.
bool usaDemostracion(const QString& carpetaDatos);

// The text the main window shows while the demonstration database is in use.
inline QString avisoDemostracion() {
    return QStringLiteral("Base aduanera de demostración");
}

} // namespace conexion
} // namespace tarvix
