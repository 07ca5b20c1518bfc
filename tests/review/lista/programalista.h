#pragma once

#include "app/controladorprincipal.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "components/vb.h"
#include "testsupport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace prueba {

// One run of the program on a temporary data folder, with the working database created by the
// start-up and a scripted seam.
struct ProgramaLista {
    using Aviso = tarvix::InteraccionGuionada::Aviso;
    QTemporaryDir dir;
    tarvix::Servicios srv;
    tarvix::EstadoAsistente estado;
    tarvix::InteraccionGuionada guion;
    std::unique_ptr<tarvix::ControladorPrincipal> c;

    ProgramaLista() {
        aislarConfiguracion();
        srv.setInteraccion(&guion);
        c = std::make_unique<tarvix::ControladorPrincipal>(srv, estado);
        c->Form_Load(dir.path());
        estado.g_sInterno = QStringLiteral("100");
    }
    void ejecutar(const QString& sql) {
        srv.g_oBase->setSql(sql);
        srv.g_oBase->Ejecutar();
    }
    // An article line; `prcest` and `crc` are SQL literals ("NULL", "''", "'OK'").
    void linea(const QString& interno, int ord, const QString& prcest, const QString& crc,
               const QString& dsc = QStringLiteral("d")) {
        ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, "
                                "PRCEST, PRCCRC) values ('%1', %2, 'N%2', '%3', 2, 0.5, 1, %4, %5)")
                     .arg(tarvix::vb::DoblarComillas(interno), QString::number(ord),
                          tarvix::vb::DoblarComillas(dsc), prcest, crc));
    }
    QString ruta(const QString& nombre) const { return dir.filePath(nombre); }
};

// "0002 0007" -> {"0002", "0007"}.
inline QStringList palabras(const char* texto) {
    return QString::fromLatin1(texto).split(u' ');
}

} // namespace prueba
