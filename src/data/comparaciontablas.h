#pragma once

#include <QString>
#include <QStringList>

namespace Velno {
class clBase;
}

// Databases made before texts compared without regard to case get it at start-up, in place.
namespace tarvix::bases {

// The CREATE TABLE text with " COLLATE NOCASE" after each varchar(n) type that names no
// collation; the same text when every one names it.
QString conComparacionSinMayusculas(const QString& crearTabla);

// Rebuilds, each in a transaction of its own, the tables of an SQLite database whose text columns
// lack the comparison: a new table from the stored CREATE text (added columns included) with the
// comparison, every row copied, the old one dropped, the new one renamed and the indexes made
// again. A table whose rows cannot all go in (texts that differ only in case under a unique key)
// stays exactly as it was; the next start tries again. Nothing is done when every table has it.
// Returns the tables left as they were. Raises nothing.
QStringList actualizarComparacion(Velno::clBase& base);

// The same on the SQLite file `archivo` when it exists (the embedded customs database).
QStringList actualizarComparacion(const QString& archivo);

} // namespace tarvix::bases
