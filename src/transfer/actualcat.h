#pragma once

#include "components/globales.h"

#include <QString>

namespace tarvix {

class Recordset;

// Updates, or adds when it is missing, the catalog entry (catarticulos of the INTCAT catalog) of
// every line of the current interno. `ok` is true only when every line was handled; a failure is
// reported with the text of the last statement built and leaves the entries already written.
void FRAM3_Transfer_C_ActualCAT(Globales& g, bool& ok);

// The update and the insert of the catalog entry of the current row of `rs` (a row of ART).
// `linea` follows the value being built, for the error report.
QString sentenciaActualizarCatalogo(Globales& g, const Recordset& rs, int& linea);
QString sentenciaAgregarCatalogo(Globales& g, const Recordset& rs, int& linea);

} // namespace tarvix
