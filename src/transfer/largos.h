#pragma once

#include "components/servicios.h"

#include <QString>
#include <vector>

namespace tarvix {

// A text of the working database that reaches a column of the customs database (subitems, and
// catarticulos when the catalog learns it) and one of those columns holds fewer characters.
struct LargoExcedido {
    int artord = 0;
    QString articulo;
    QString campo;  // as the editor names it ("Descripción", "Sufijos", ...)
    int largo = 0;  // characters of the text
    int maximo = 0; // characters the customs column holds
};

// The customs columns each text of ART reaches and how many characters the shortest of them holds.
struct LimiteTexto {
    const char* expresion; // the text in the working database (an SQL expression over ART)
    const char* campo;
    int maximo;
    const char* columnas; // "subitems.descripcion catarticulos.descripcion"
};
const std::vector<LimiteTexto>& limitesDeTexto();

// The texts of the interno's lines that do not fit, in line order; one query.
std::vector<LargoExcedido> textosDemasiadoLargos(Servicios& srv, const QString& interno);

// What the clerk is told: which line, which article, which field, how long and how long it may be
// (the first 15, then how many more).
QString mensajeTextosLargos(const QString& interno, const std::vector<LargoExcedido>& largos);

} // namespace tarvix
