#pragma once

#include <QString>
#include <vector>

namespace tarvix {

// What the check of an invoice can find on a line, errors first. The order is the order of the
// groups in the window and in the export.
enum class TipoHallazgo {
    // Errors: the run would stop on them or store wrong data.
    ArticuloVacio,
    CantidadNoNumerica,
    TotalNoNumerico,
    TextoLargo,
    UnidadQxDesconocida,
    // Warnings: the run goes on and the clerk should know.
    UnidadPorDefecto,
    TotalCero,
    ArticuloRepetido,
    FechaInvalida,
};

bool esError(TipoHallazgo tipo);

// One finding: where it is on the sheet (row number and column letter), the cell's text and what
// is wrong with it.
struct Hallazgo {
    TipoHallazgo tipo = TipoHallazgo::ArticuloVacio;
    int fila = 0;    // of the worksheet
    QString columna; // letter of the worksheet column
    QString texto;   // of the cell
    QString detalle;
};

struct RevisionFactura {
    std::vector<Hallazgo> hallazgos; // by kind, then by row
    bool vacia() const { return hallazgos.empty(); }
    bool hayErrores() const;
    int errores() const;
    int advertencias() const;
};

} // namespace tarvix
