#pragma once

#include "components/vb.h"
#include "programa.h"
#include "testsupport.h"

#include <QTest>
#include <initializer_list>
#include <utility>

// One run of the program on a fresh data folder (working database and demo customs data), with the
// interno of the tests and the scripted seam.
struct Entorno : prueba::Programa {
    explicit Entorno(const QString& interno = QStringLiteral("T1"))
        : prueba::Programa(Opciones().sinPasos()) {
        estado.g_sInterno = interno;
        ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values (") +
                 tarvix::vb::SqlTexto(interno) + QStringLiteral(", 'pruebas')"));
    }

    using prueba::Programa::ejecutar;
    void ejecutarNcm(const QString& sql) { ejecutar(ncm(), sql); }

    using Valores = std::initializer_list<std::pair<const char*, QVariant>>;

    // An ART row of the interno: texts quoted, numbers with a point.
    void linea(int artord, Valores valores) {
        QString columnas = QStringLiteral("INTNRO, ARTORD");
        QString datos =
            tarvix::vb::SqlTexto(estado.g_sInterno) + QStringLiteral(", ") + QString::number(artord);
        for (const auto& [columna, valor] : valores) {
            columnas += QStringLiteral(", ") + QString::fromLatin1(columna);
            if (valor.isNull())
                datos += QStringLiteral(", NULL");
            else if (valor.typeId() == QMetaType::QString)
                datos += QStringLiteral(", ") + tarvix::vb::SqlTexto(valor.toString());
            else
                datos += QStringLiteral(", ") + QString::number(valor.toDouble(), 'g', 15);
        }
        ejecutar(QStringLiteral("insert into ART (") + columnas + QStringLiteral(") values (") + datos +
                 QStringLiteral(")"));
    }

    // A line that passes every check of the editor once loaded: position 8301.10.00.000P (units
    // "07", suffix group AA only), declared unit "07", country 310.
    void lineaValida(int artord) {
        linea(artord, {{"ARTNRO", QStringLiteral("CAND40")},
                       {"ARTDSC", QStringLiteral("Candado de 40 mm")},
                       {"ARTCAN", 10.0},
                       {"ARTUNI", 2.5},
                       {"ARTTOT", 25.0},
                       {"MARCA", QStringLiteral("ACME")},
                       {"PRCNCM", QStringLiteral("8301.10.00.000P")},
                       {"PRCSUF", QStringLiteral("AA(ACME)-")},
                       {"PRCDUN", QStringLiteral("07")},
                       {"PRCCAN", 10.0},
                       {"PRCEUN", QStringLiteral("07")},
                       {"PRCECA", 10.0},
                       {"PRCESM", QStringLiteral("2")},
                       {"PRCORI", QStringLiteral("310")},
                       {"PRCEST", QStringLiteral("E")},
                       {"PRCCRC", QStringLiteral("SUF")}});
    }

    // A column of a line as stored.
    QVariant leer(int artord, const QString& columna) {
        tarvix::Recordset rs;
        srv.g_oBase->setSql(QStringLiteral("select ") + columna +
                            QStringLiteral(" from ART where INTNRO = ") +
                            tarvix::vb::SqlTexto(estado.g_sInterno) + QStringLiteral(" and ARTORD = ") +
                            QString::number(artord));
        if (!srv.g_oBase->CrearRs(rs))
            return QVariant();
        return rs.Fields(0);
    }
};
