#pragma once

#include "components/hallazgos.h"

#include <QLocale>
#include <QString>
#include <QStringView>
#include <vector>

namespace tarvix {

class GrillaDatos;
class Interaccion;
struct EstadoAsistente;
struct Servicios;

// The title of the group of a kind ("Artículo vacío o N/A", ...).
QString tituloTipo(TipoHallazgo tipo);

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
