#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"

namespace tarvix {

namespace transferencia {
class LineaArt;
}

// Writes the current interno into the customs-system database: its caratula row and one subitems
// row per correct line, asking before it replaces an interno that is already there. `ok` is true
// only when every correct line was written; a failure is reported to the user. Inside the driver's
// transaction a failure undoes it before the report; alone it leaves what was already written.
void FRAM3_Transfer_B_Pasaje(Servicios& srv, EstadoAsistente& estado, bool& ok);

// The subitems insert of the current line. `linea` follows the value being built, for the error
// report.
QString sentenciaSubitems(const EstadoAsistente& estado, const transferencia::LineaArt& art, int& linea);

} // namespace tarvix
