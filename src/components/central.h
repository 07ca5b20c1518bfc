#pragma once

#include "components/clbase.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <memory>

namespace Trelvan {

// The data access manager: hands out the connection of each entity of the customs-system
// database ("NCM", "INTERNOS"), always the same object for the same entity, and writes dates and
// substring expressions in the dialect of the entity's engine.
//
// The entities come from an INI file, one group per entity:
//   [NCM]
//   driver=QSQLITE            ; QSQLITE, QPSQL or QODBC
//   database=db/aduana.db     ; a file relative to the INI's folder, a database name or an ODBC DSN
//   host=, port=, user=, password=, options=   ; for servers (options: driver connect options)
//   tiempo_conexion=, tiempo_sentencia=, tiempo_bloqueo=   ; server limits in seconds (0: none)
// Connections open on first use, so a missing server does not stop the program from starting.
class Central {
public:
    Central();
    ~Central();

    // Reads the INI. A missing file leaves no entity defined; using one then reports it.
    void LoadParameters(const QString& rutaIni);
    void LoadParameters() { LoadParameters(m_rutaIni); }
    void setRutaIni(const QString& ruta) { m_rutaIni = ruta; }
    const QString& RutaIni() const { return m_rutaIni; }

    // Defines (or redefines) an entity directly; used by the start-up defaults and by tests.
    void definirEntidad(const QString& entidad, const Velno::ParametrosConexion& p);
    bool tieneEntidad(const QString& entidad) const;

    // The connection of the entity; raises when the entity is not defined.
    Velno::clBase& getDataConnectionByEntity(const QString& entidad);

    // The date as an SQL literal of the entity's engine.
    QString getDateFormatbyEntity(const QString& entidad, const QDateTime& fecha);
    // A date text in the user's locale; a text that is not a date gives NULL.
    QString getDateFormatbyEntity(const QString& entidad, const QString& fecha);
    // The substring expression of the entity's engine: expr from `inicio` for `largo` characters.
    QString getMidFormatbyEntity(const QString& entidad, const QString& expresion, int inicio,
                                 const QString& largo);

    tarvix::Motor motorDe(const QString& entidad) const;

private:
    struct Entidad;
    Entidad& entidad(const QString& nombre);
    QHash<QString, std::shared_ptr<Entidad>> m_entidades; // upper-case name
    QString m_rutaIni;
};

tarvix::Motor motorDeDriver(const QString& driver);

} // namespace Trelvan
