#pragma once

#include "components/vberror.h"
#include "intake/formatocelda.h"
#include "intake/xlsx/lectorxlsx.h"

#include <QLocale>
#include <QStringList>

// What a read of a workbook gives, to compare two ways of reading it: "N filas|" and every cell of
// the sheet as "row,col:type:text" (the text as the grid shows it under es_AR; with `exacta`, also
// the number with all its digits), or "error: " and the error's text.
inline QString lecturaXlsx(const QString& ruta, const tarvix::lector::LimitesXlsx& limites,
                           bool exacta = false) {
    using namespace tarvix::lector;
    try {
        const Hoja h = leerXlsx(ruta, limites);
        const FormatoCelda formato(QLocale(QStringLiteral("es_AR")));
        QStringList r;
        for (int f = 1; f <= h.filas(); ++f) {
            const auto celdas = h.fila(f);
            for (int c = 1; c <= static_cast<int>(celdas.size()); ++c) {
                const Celda x = h.celda(f, c);
                if (x.tipo == TipoCelda::Vacia)
                    continue;
                QString s = QStringLiteral("%1,%2:%3:%4")
                                .arg(f)
                                .arg(c)
                                .arg(static_cast<int>(x.tipo))
                                .arg(formato.texto(x));
                if (exacta)
                    s += QStringLiteral(":%1").arg(x.numero, 0, 'g', 17);
                r << s;
            }
        }
        return QStringLiteral("%1 filas|").arg(h.filas()) + r.join(u'|');
    } catch (const tarvix::VbError& e) {
        return QStringLiteral("error: ") + e.descripcion();
    }
}
