#pragma once

#include "components/vb.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <vector>

namespace tarvix {

class ModeloGrilla;

// Proposes the field labels of an invoice's columns from its header row and the data lines below
// it. A wrong required field costs more than a missing one: a label is proposed only when the
// evidence is clear, never in two columns, and the rest is left for F1.
namespace encabezados {

// A header text reduced to what tells it apart: lower case, without accents, the words joined with
// no blanks, dots, line breaks or punctuation between them ("Q'ty" and "QTY." are both "qty").
QString normalizar(QStringView texto);

// The words of a header text, each normalised.
QStringList palabras(QStringView texto);

// A number as an invoice cell may show it: the locale's decimal separator (or the other one when it
// cannot be a thousands separator), thousands separators, a sign and currency signs or codes
// around it. False for anything else.
bool leerNumero(QStringView texto, double& valor, const QLocale& locale = QLocale());

// How many of the article codes the chosen catalog knows.
using CatalogoConocido = std::function<int(const QStringList& codigos)>;

// The proposed label of each column of `grilla` (row 0 the headers, rows from 2 on the lines); an
// empty text where nothing is proposed. Where several columns could be the article code, the one
// whose codes `catalogo` (when given) mostly knows is the article.
std::vector<QString> proponer(const ModeloGrilla& grilla, const QLocale& locale = QLocale(),
                              const CatalogoConocido& catalogo = {});

// The worksheet letter of grid column `columna` (0 is "A", 26 is "AA").
inline QString letraColumna(int columna) {
    return vb::LetraColumna(columna);
}

// The key of a header layout: the normalised header texts of row 0, separated by '|'.
QString claveDisposicion(const ModeloGrilla& grilla);

} // namespace encabezados

} // namespace tarvix
