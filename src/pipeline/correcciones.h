#pragma once

#include "components/servicios.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace Velno {
class clBase;
}

// The lines a clerk corrected by hand in the editor (state "M"), carried over to the lines of the
// same article and brand when the interno is processed again. The run itself is left as it is: the
// corrected lines are read before it and their customs values written over the new lines after it.
namespace tarvix::correcciones {

// One corrected line: its article and brand, its quantity and total, and its customs values.
struct Linea {
    QString articulo;
    QString marca;
    QVariant cantidad;
    QVariant total;
    std::vector<QVariant> valores; // in the order of the carried columns
};

// The corrected lines of the interno, one per article and brand (the first in line order).
std::vector<Linea> leer(Velno::clBase& base, const QString& interno);

// "El interno tiene 40 líneas corregidas a mano. ¿Conservar las correcciones en las líneas del
// mismo artículo?" when the interno has lines corrected by hand; none when it has none.
std::optional<QString> pregunta(Velno::clBase& base, const QString& interno);

struct Resultado {
    int conservadas = 0; // new lines that took the values of a corrected line
    int aRevisar = 0;    // of them, those whose quantity or total changed
};

// Writes the corrections over the new lines of the same article and brand. A line of the same
// quantity and total takes every customs value and the state of the corrected one; one whose
// quantity or total changed takes its classification (position, suffixes, LAPI, units, goods state,
// origin, Maria descriptions), keeps the quantities of the run and is left for review.
Resultado aplicar(Velno::clBase& base, const QString& interno, const std::vector<Linea>& corregidas);

// "Se conservaron las correcciones en 3 líneas" and those left for review.
QString textoResultado(const Resultado& r);

// The run with the question: asks when the interno has corrected lines and, with "Sí", reads them.
// Nothing to carry (none, "No" or a failure to read them, which is reported): empty.
std::vector<Linea> preguntarYLeer(Servicios& srv, const QString& interno);

// After the run: writes the corrections over the new lines; the text of the result, or empty when
// it failed (the failure is reported; the run's lines stay as the run left them).
QString conservar(Servicios& srv, const QString& interno, const std::vector<Linea>& corregidas);

} // namespace tarvix::correcciones
