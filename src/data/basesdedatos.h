#pragma once

#include <QString>

class QSqlDatabase;

namespace Velno {
class clBase;
}

namespace tarvix::bases {

// Creates the working database from the schema and the delivered country rows when the file does
// not exist. An existing file is never touched. Raises VbError on failure (nothing is left behind).
void crearBaseTrabajoSiFalta(const QString& ruta);

// Indexes the statements of the run search by, on a working database made before they existed.
// Failures (a read-only file) are dropped: the statements work without them, only slower.
void asegurarIndicesTrabajo(Velno::clBase& base);

// When the entity INI does not exist, writes one that points "NCM" and "INTERNOS" at the embedded
// customs database of the data folder, and creates that database from its schema and the demo data
// when it does not exist either. Returns the INI's path.
QString prepararAduanaPorDefecto(const QString& carpetaDatos);

// Creates an SQLite database at `ruta` from the given resource scripts (":/sql/..."), through a
// temporary file renamed at the end.
void crearBaseSqlite(const QString& ruta, const QStringList& scripts);

// Runs a script of statements, each ending with ';' at the end of a line.
void ejecutarScript(QSqlDatabase& db, const QString& texto, const QString& nombre);
QStringList dividirScript(const QString& texto);

} // namespace tarvix::bases
