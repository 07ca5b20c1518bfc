#pragma once

#include "components/vb.h"
#include "programa.h"
#include "testsupport.h"

#include <QStringList>
#include <QTest>

namespace prueba {

// The main controller alone on a temporary data folder, working on interno 100.
struct ProgramaLista : Programa {
    using Aviso = tarvix::InteraccionGuionada::Aviso;

    ProgramaLista() : Programa(Opciones().sinPasos()) { estado.g_sInterno = QStringLiteral("100"); }
    // An article line; `prcest` and `crc` are SQL literals ("NULL", "''", "'OK'").
    void linea(const QString& interno, int ord, const QString& prcest, const QString& crc,
               const QString& dsc = QStringLiteral("d")) {
        ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, "
                                "PRCEST, PRCCRC) values ('%1', %2, 'N%2', '%3', 2, 0.5, 1, %4, %5)")
                     .arg(tarvix::vb::DoblarComillas(interno), QString::number(ord),
                          tarvix::vb::DoblarComillas(dsc), prcest, crc));
    }
    QString ruta(const QString& nombre) const { return carpeta() + u'/' + nombre; }
};

// "0002 0007" -> {"0002", "0007"}.
inline QStringList palabras(const char* texto) {
    return QString::fromLatin1(texto).split(u' ');
}

} // namespace prueba
