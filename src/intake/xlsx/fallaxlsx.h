#pragma once

#include <QString>

namespace tarvix::lector::xlsx {

// A reason to refuse the workbook, thrown inside the reader; leerXlsx turns it into the VbError
// the callers see, with the file's path.
struct FallaXlsx {
    bool limite = false; // a limit was passed (the file may be sound, but is not read)
    QString detalle;
};

// The file is damaged or not a workbook: `detalle` says what is wrong.
[[noreturn]] void danado(const QString& detalle);
// The file passes a limit of what the reader accepts: `detalle` says which.
[[noreturn]] void excesivo(const QString& detalle);

} // namespace tarvix::lector::xlsx
