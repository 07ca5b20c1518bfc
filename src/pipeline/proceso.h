#pragma once

#include <QString>

namespace tarvix {

struct EstadoAsistente;

struct Servicios;

// What the processing run reads of the preview grid: row 1 carries the field labels, rows 2 to
// Rows() - 1 the invoice lines.
class GrillaDatos {
public:
    virtual ~GrillaDatos() = default;
    virtual int Rows() const = 0;
    virtual int Cols() const = 0;
    virtual QString TextMatrix(int fila, int columna) const = 0;
    // The worksheet row a line of the grid was read from (the same number when nothing tells).
    virtual int filaHoja(int fila) const { return fila; }
};

// The processing run of step 2: stores the grid's lines as article lines of the current interno,
// completes them from the catalog, fills the declared quantities and validates position and value
// suffixes. True only when all four stages ran to the end; a failure is reported through the seam.
bool FRAM2_GuardarDatosToBase(Servicios& srv, EstadoAsistente& estado, const GrillaDatos& grilla);

} // namespace tarvix
