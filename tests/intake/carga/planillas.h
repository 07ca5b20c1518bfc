#pragma once

#include <QString>
#include <QTest>
#include <variant>
#include <vector>
#include <xlsxwriter.h>

#include "intake/carga/grilla.h"

namespace prueba {

// A number shown with a number format ("0.00"); the cell's value is still the number.
struct ConFormato {
    double valor;
    const char* formato;
};
// One worksheet cell: nothing, text, number, or number with a format.
using Valor = std::variant<std::monostate, const char*, double, ConFormato>;
using Filas = std::vector<std::vector<Valor>>;

// Writes `filas` from worksheet row 1 into a new .xlsx file at `ruta`.
inline void escribirPlanilla(const QString& ruta, const Filas& filas) {
    const QByteArray nombre = ruta.toLocal8Bit();
    lxw_workbook* libro = workbook_new(nombre.constData());
    QVERIFY(libro);
    lxw_worksheet* hoja = workbook_add_worksheet(libro, nullptr);
    for (size_t f = 0; f < filas.size(); ++f) {
        for (size_t c = 0; c < filas[f].size(); ++c) {
            const auto fila = static_cast<lxw_row_t>(f);
            const auto col = static_cast<lxw_col_t>(c);
            const Valor& v = filas[f][c];
            if (const auto* texto = std::get_if<const char*>(&v)) {
                worksheet_write_string(hoja, fila, col, *texto, nullptr);
            } else if (const auto* numero = std::get_if<double>(&v)) {
                worksheet_write_number(hoja, fila, col, *numero, nullptr);
            } else if (const auto* formateado = std::get_if<ConFormato>(&v)) {
                lxw_format* formato = workbook_add_format(libro);
                format_set_num_format(formato, formateado->formato);
                worksheet_write_number(hoja, fila, col, formateado->valor, formato);
            }
        }
    }
    QCOMPARE(workbook_close(libro), LXW_NO_ERROR);
}

// The grid's rows, each as its cells joined by "|".
inline QStringList filasDe(const tarvix::ModeloGrilla& m) {
    QStringList r;
    for (int f = 0; f < m.Rows(); ++f) {
        QStringList celdas;
        for (int c = 0; c < m.Cols(); ++c)
            celdas << m.TextMatrix(f, c);
        r << celdas.join(u'|');
    }
    return r;
}

} // namespace prueba
