#include "transfer/paso3.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "transfer/actualcat.h"
#include "transfer/largos.h"
#include "transfer/pasaje.h"
#include "transfer/valorestransferencia.h"

#include <cmath>
#include <optional>

namespace tarvix {

using namespace transferencia;

namespace {

QString cuatroDigitos(qint64 n) {
    return vb::Format(static_cast<double>(n), QStringLiteral("0000"));
}

qint64 entero(double v) {
    return static_cast<qint64>(std::llround(v));
}

} // namespace

void FRAM3_Transfer_A_Validar(Servicios& srv, EstadoAsistente& estado, bool& ok) {
    ok = false;
    try {
        Recordset rs;
        srv.g_oBase->setSql(QStringLiteral("select count(INTNRO) as Cant from ART where INTNRO = '") +
                            internoSql(estado.g_sInterno) +
                            QStringLiteral("' and (PRCCRC <> 'OK' or PRCCRC is null)"));
        if (!srv.g_oBase->CrearRs(rs))
            return;
        if (srv.g_oFormatos->EsNumero(rs.Fields(QStringLiteral("Cant"))) == 0) {
            // A text longer than its customs column would fail at the customs database, after the
            // interno had begun to be written: it is told here, line by line, and nothing is written.
            const std::vector<LargoExcedido> largos = textosDemasiadoLargos(srv, estado.g_sInterno);
            if (largos.empty()) {
                ok = true;
                return;
            }
            srv.interaccion().mensaje(mensajeTextosLargos(estado.g_sInterno, largos), Icono::Exclamacion,
                                      Botones::Aceptar);
            return;
        }
        srv.interaccion().mensaje(
            QStringLiteral("Hay registros para depurar.\r\n\r\nHaga click en el boton \"DATOS SIN DEPURAR\""),
            Icono::Exclamacion, Botones::Aceptar);
    } catch (const VbError& e) {
        ok = false;
        srv.interaccion().mensaje(informeCorto(e, QStringLiteral("frmMain_FRAM3_Transfer_A_Validar")),
                                  Icono::Critico, Botones::Aceptar);
    }
}

ControladorPaso3::ControladorPaso3(Servicios& srv, EstadoAsistente& estado, QObject* parent)
    : QObject(parent), m_srv(srv), m_estado(estado) {}

qint64 ControladorPaso3::contar(const QString& cola) {
    Recordset rs;
    m_srv.g_oBase->setSql(QStringLiteral("select count(INTNRO) as total from ART where INTNRO = '") +
                          internoSql(m_estado.g_sInterno) + cola);
    if (!m_srv.g_oBase->CrearRs(rs))
        return 0;
    return entero(m_srv.g_oFormatos->EsNumero(rs.Fields(QStringLiteral("Total"))));
}

void ControladorPaso3::FRAM3_CargarEstadisticas() {
    // Each label is written as soon as its count is known: a failure leaves the later ones as they were.
    const struct {
        const char* cola;
        qint64 Cuentas::*cuenta;
        QString ControladorPaso3::*etiqueta;
    } consultas[] = {
        {"'", &Cuentas::total, &ControladorPaso3::FRAM3_lbTotal},
        {"' and PRCEST = 'A'", &Cuentas::enCatalogo, &ControladorPaso3::FRAM3_lbEnCatalogo},
        {"' and (PRCEST = '' or PRCEST IS NULL)", &Cuentas::nuevos, &ControladorPaso3::FRAM3_lbNuevos},
        {"' and PRCCRC <> 'OK'", &Cuentas::erroneos, &ControladorPaso3::FRAM3_lbErroneos},
        {"' and PRCCRC = 'POS'", &Cuentas::errPos, &ControladorPaso3::FRAM3_lbErrPos},
        {"' and PRCCRC = 'SUF'", &Cuentas::errSuf, &ControladorPaso3::FRAM3_lbErrSuf},
    };
    cuentas = Cuentas();
    for (const auto& c : consultas) {
        cuentas.*c.cuenta = contar(QString::fromLatin1(c.cola));
        this->*c.etiqueta = cuatroDigitos(cuentas.*c.cuenta);
        emit cambiado();
    }
}

void ControladorPaso3::ponerMensaje(const QString& texto) {
    if (mensaje)
        mensaje(texto);
    else
        m_srv.progreso().mensaje(texto);
}

void ControladorPaso3::FRM3_Tranferir() {
    int linea = 0;
    // The interno and the catalog are written in one transaction of the customs connection: all of
    // it or, on any failure, nothing. Without the entity there is none: the interno transfer reports
    // the missing entity.
    std::optional<TransaccionTransferencia> transaccion;
    m_transferido = false;
    try {
        bool ok = false;
        linea = 20;
        ponerMensaje(QStringLiteral("Validando datos..."));
        linea = 40;
        FRAM3_Transfer_A_Validar(m_srv, m_estado, ok);
        if (!ok)
            return;
        linea = 50;
        ponerMensaje(QStringLiteral("Transfiriendo al Kalmora Windows..."));
        linea = 70;
        m_srv.progreso().barraVisible(true);
        if (m_srv.g_oCentral->tieneEntidad(kEntidad))
            transaccion.emplace(m_srv, m_estado);
        linea = 80;
        FRAM3_Transfer_B_Pasaje(m_srv, m_estado, ok);
        if (!ok)
            return;
        linea = 90;
        ponerMensaje(QStringLiteral("Actualizando catalogo..."));
        linea = 110;
        FRAM3_Transfer_C_ActualCAT(m_srv, m_estado, ok);
        if (!ok)
            return;
        if (transaccion)
            transaccion->confirmar();
        transaccion.reset();
        linea = 120;
        aduana(m_srv).setSql(
            QStringLiteral("select count(interno) as Total from subitems where interno = '") +
            internoSql(m_estado.g_sInterno) + u'\'');
        linea = 130;
        Recordset rs;
        if (aduana(m_srv).CrearRs(rs)) {
            linea = 140;
            if (m_srv.g_oFormatos->EsNumero(rs.Fields(QStringLiteral("Total"))) > 0) {
                linea = 150;
                m_transferido = true;
                m_srv.interaccion().mensaje(
                    QStringLiteral("Se transfirio ") +
                        m_srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("Total"))) +
                        QStringLiteral(" articulos en el interno ") + m_estado.g_sInterno,
                    Icono::Informacion, Botones::Aceptar);
            } else {
                linea = 170;
                m_srv.interaccion().mensaje(
                    QStringLiteral("ERROR: No se transfirio los articulos en el interno ") +
                        m_estado.g_sInterno,
                    Icono::Exclamacion, Botones::Aceptar);
            }
        }
        linea = 200;
        ponerMensaje(QStringLiteral("Fin de proceso"));
        linea = 210;
        m_srv.progreso().barraVisible(false);
    } catch (const VbError& e) {
        const QString nota = transaccion ? transaccion->deshacer() : QString();
        m_srv.interaccion().mensaje(InformeError::descripcionYNumero(e)
                                        .seccion(u" - seccion [", u"FRAM3_Transferir", u"]:: linea ")
                                        .mas(linea)
                                        .mas(nota));
    }
}

} // namespace tarvix
