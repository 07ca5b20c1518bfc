#pragma once

#include "intake/celda.h"

#include <QString>

namespace tarvix::lector {

// Reads the first worksheet of an Excel 5.0/95 (BIFF5) or 97-2003 (BIFF8) workbook. Formula cells
// give their last calculated result; numbers with a date format give dates (serials of the 1900
// system). A file that cannot be read raises VbError 1004 from "LectorXls" with a Spanish
// description of what is wrong; nothing of the sheet is returned then.
Hoja leerXls(const QString& ruta);

} // namespace tarvix::lector
