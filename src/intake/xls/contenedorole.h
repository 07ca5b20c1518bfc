#pragma once

#include <QByteArray>
#include <QString>

namespace tarvix::lector::xls {

// Largest workbook stream the reader takes in.
inline constexpr qint64 kMaxFlujoLibro = 64 * 1024 * 1024;

// The workbook stream ("Workbook", or "Book" in Excel 5/95 files) of a compound document.
// Raises error 1004 when the file is not a compound document, is damaged or cut short, or holds
// no workbook.
QByteArray leerFlujoLibro(const QString& ruta);

} // namespace tarvix::lector::xls
