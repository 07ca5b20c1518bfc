#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QString>

namespace tarvix {

namespace transferencia {
class LineaArt;
}

// Updates, or adds when it is missing, the catalog entry (catarticulos of the INTCAT catalog) of
// every line of the current interno. `ok` is true only when every line was handled; a failure is
// reported with the text of the last statement built and leaves the entries already written.
void FRAM3_Transfer_C_ActualCAT(Servicios& srv, EstadoAsistente& estado, bool& ok);

// The update and the insert of the catalog entry of the current line. `linea` follows the value
// being built, for the error report.
QString sentenciaActualizarCatalogo(const EstadoAsistente& estado, const transferencia::LineaArt& art,
                                    int& linea);
QString sentenciaAgregarCatalogo(const EstadoAsistente& estado, const transferencia::LineaArt& art,
                                 int& linea);

} // namespace tarvix
