#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <vector>

namespace tarvix {

class GrillaDatos;
class Interaccion;
struct EstadoAsistente;
struct Servicios;

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
// The title of the group of a kind ("Artículo vacío o N/A", ...).
QString tituloTipo(TipoHallazgo tipo);

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

// What the check needs besides the grid: the unit and the brand the run puts where the invoice has
// none, and the locale numbers and dates are read with.
struct ParametrosRevision {
    QString unidadPorDefecto; // INTDUN
    QString marcaPorDefecto;  // the AA_MARCA setting
    QLocale locale;
};

// Checks every data line of the grid in one pass, by the field row of the grid (row 1), as the run
// would read it: nothing is written anywhere.
RevisionFactura revisarFactura(const GrillaDatos& grilla, const ParametrosRevision& parametros);

// Texts of the window.
inline constexpr QStringView kTituloRevision = u"Revisión de la factura";
inline constexpr QStringView kBotonVolver = u"&Volver";
inline constexpr QStringView kBotonProcesarIgual = u"&Procesar igual";
inline constexpr QStringView kBotonExportar = u"&Exportar a Excel";
// The line above the list: how many errors and warnings, and what the clerk can do.
QString resumenRevision(const RevisionFactura& revision);

// Writes the findings as a spreadsheet (the form of the review list's export): a title row, then
// one row per finding. Asks before replacing an existing file; reports through `interaccion`.
// True when the file was written.
bool exportarRevision(const RevisionFactura& revision, const QString& archivo, Interaccion& interaccion);
// Asks for the file and exports; false when cancelled or failed.
bool exportarRevision(const RevisionFactura& revision, Interaccion& interaccion);

// Before the run: checks the grid and, when something was found, shows the findings through the
// seam. True when the run may go on (nothing found, or only warnings and "Procesar igual").
bool revisarAntesDeProcesar(Servicios& srv, const EstadoAsistente& estado, const GrillaDatos& grilla);

} // namespace tarvix
