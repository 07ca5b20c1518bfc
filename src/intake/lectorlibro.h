#pragma once

#include "intake/celda.h"

#include <QString>

namespace tarvix::lector {

// Error number of every failure to open or read a workbook file (missing, unreadable, not a
// spreadsheet, damaged, beyond a limit): the number the spreadsheet application gives when it
// cannot open a file.
inline constexpr qint64 kErrorLibro = 1004;

// Reads the first worksheet of the workbook at `ruta`, choosing the reader by the file's content,
// not its name: a zip package is read as .xlsx, a compound document as .xls. Throws VbError with
// number kErrorLibro and a Spanish description when the file is missing, unreadable, neither
// kind, or fails to read.
Hoja leerLibro(const QString& ruta);

} // namespace tarvix::lector
