#pragma once

#include "app/controladorprincipal.h"
#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "components/recordset.h"
#include "components/vberror.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

namespace prueba {

// The program started headless on a fresh data folder: both databases hold the delivered and the
// demo data.
struct Programa {
    QTemporaryDir carpeta;
    tarvix::Servicios srv;
    tarvix::EstadoAsistente estado;
    tarvix::InteraccionGuionada guion;
    std::unique_ptr<tarvix::ControladorPrincipal> c;

    Programa() {
        aislarConfiguracion();
        srv.setInteraccion(&guion);
        c = std::make_unique<tarvix::ControladorPrincipal>(srv, estado);
        c->Form_Load(carpeta.path());
    }
    bool listo() const { return estado.g_iPaso == 1 && guion.avisos.isEmpty(); }

    Velno::clBase& ncm() { return srv.g_oCentral->getDataConnectionByEntity(QStringLiteral("NCM")); }
    static void ejecutar(Velno::clBase& base, const QString& sql) {
        base.setSql(sql);
        base.Ejecutar();
    }
    static tarvix::Recordset consultar(Velno::clBase& base, const QString& sql) {
        tarvix::Recordset rs;
        base.setSql(sql);
        base.CrearRs(rs);
        return rs;
    }
};

// The error raised by `f`, if any.
template <typename F> std::optional<tarvix::VbError> errorDe(F&& f) {
    try {
        f();
    } catch (const tarvix::VbError& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace prueba
