#pragma once

#include "components/globales.h"
#include "components/interaccion.h"
#include "components/recordset.h"

#include <QString>

namespace Velno {
class clBase;
}

namespace tarvix::transferencia {

// Entity of the customs-system tables the transfer writes.
inline const QString kEntidad = QStringLiteral("INTERNOS");

// The connection of the entity, asked for anew on every call (the statement set through one result
// is the one the next result runs).
Velno::clBase& aduana(Globales& g);

// The progress seam of the run, or one that shows nothing.
Progreso& progreso(Globales& g);

// A column of the current row as text; Null gives empty text.
QString texto(const Globales& g, const Recordset& rs, const QString& campo);
// A text value between quotes, its own quotes doubled.
QString citado(const Globales& g, const Recordset& rs, const QString& campo);
// A number as stored: its text in the user's locale with every comma turned into a point. An empty
// value stays empty (the statement then fails, as it should).
QString guardado(const Globales& g, const Recordset& rs, const QString& campo);
// The numeric value of a column: 0 when it is not a number.
double numero(const Globales& g, const Recordset& rs, const QString& campo);

// The declared unit, trimmed, is kilograms ("01"): the unit price is then the total over the
// quantity.
bool unidadEnKilos(const Globales& g, const Recordset& rs);
// Total divided by quantity, "00.0000", point-decimal. Raises error 11 when the quantity is 0.
QString precioDesdeTotal(const Globales& g, const Recordset& rs);

// The interno between quotes, ready to close a condition "... = '".
QString internoSql(const Globales& g);

} // namespace tarvix::transferencia
