#pragma once

#include "components/estadoasistente.h"
#include "components/servicios.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The value rules of the processing run: article-code check, dotted position, unit codes and the
// conversion of foreign units, origin code of a country text, the value-suffix text of a line and
// the insertion of a value into one suffix group. Each rule traps its failures and raises them again
// with its own number and its label in front of the source, so the run's report names it.
namespace tarvix {

namespace errores {
// Raised again by ValidarCodigoArticulo, FormatearNCM, ArmarSufijos and ImplementarVALORenSufijos.
inline constexpr qint64 ModGlobal = -2146102393; // 0x80151387
// Raised again by ProcesarUnidades.
inline constexpr qint64 ProcesarUnidades = -2147220393; // 0x80040457
// Raised again by BuscarOrigen.
inline constexpr qint64 BuscarOrigen = 1111;
// Raised by ValidarCodigoArticulo for an "N/A" or "N/AS" article code.
inline constexpr qint64 CodigoArticulo = -2147216939; // 0x800411D5
// Raised by ProcesarUnidades for a unit text it does not know.
inline constexpr qint64 UnidadNoReconocida = -2147213626; // 0x80041EC6
} // namespace errores

// A line's quantity and unit price in the invoice's unit (input) and in the declared unit (output).
struct DatosUnidad {
    QString UnidadOrigen;
    double Cantidad = 0;
    double PrecioUnitario = 0;
    double Total = 0;
    QString UnidadDestino;
    double CantidadDestino = 0;
    double PrecioDestino = 0;
};

// Origin code and goods state of a country text.
struct DatosOrigen {
    QString ORI;
    QString ESM;
};

// Raises an error for the article codes "N/A" and "N/AS" (blanks and case do not count).
void ValidarCodigoArticulo(const QString& codigo, qint32 linea);

// A 12-character position becomes the 15-character dotted form; any other text is returned as is.
QString FormatearNCM(const QString& texto);

// Unit code of a unit text: "07" for units, "01" for kilograms, the INTDUN setting otherwise.
QString ObtenerCodigoUnidad(const EstadoAsistente& estado, const QString& texto);
// Whether ObtenerCodigoUnidad knows the unit text (otherwise it gives the INTDUN setting).
bool UnidadConocida(const QString& texto);
// Whether ProcesarUnidades knows the unit text as it is (otherwise it raises).
bool UnidadExtranjeraConocida(const QString& unidad);

// Fills the output fields of `datos`: the known foreign units are converted to kilograms, metres or
// litres; an unknown unit text raises an error.
void ProcesarUnidades(DatosUnidad& datos);

// Origin code and goods state of a country text from table ORG; an unknown country opens the
// country-relation window until a relation is saved. A text longer than the window's box holds
// (kLargoMaximoOrigen) could never be related: it raises an error instead.
inline constexpr qsizetype kLargoMaximoOrigen = 32767;
DatosOrigen BuscarOrigen(Servicios& srv, EstadoAsistente& estado, const QString& pais);

// The suffix groups of each position already read in a run: its statement -> its groups in order.
using GruposPorPosicion = QHash<QString, QStringList>;

// The value-suffix text of a line from the suffix groups of its position. The values of suffixes
// beginning with "Z" are written with six digits, in the caller's variables too. With `leidos`, a
// position whose groups were read before in the run is not read again (a run over a slow link
// makes one round trip per distinct position, not per line).
QString ArmarSufijos(const Servicios& srv, const QString& posicion, const QString& marca,
                     const QString& modelo, const QString& sufijo1, QString& valor1, const QString& sufijo2,
                     QString& valor2, const QString& sufijo3, QString& valor3,
                     GruposPorPosicion* leidos = nullptr);

// Puts `valor` into the group `codigo` of a suffix text, unless the group already has a value and
// `forzar` is false. `valor` is cut to 20 characters and upper-cased in the caller's variable.
QString ImplementarVALORenSufijos(const QString& sufijos, const QString& codigo, QString& valor, bool forzar);

} // namespace tarvix
