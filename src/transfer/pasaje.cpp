#include "transfer/pasaje.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/formatos.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "transfer/valorestransferencia.h"

#include <QDateTime>

namespace tarvix {

using namespace transferencia;

namespace {

// The date literal of the customs system for a date text of the user's locale; NULL otherwise.
QString fechaSql(Servicios& srv, const QString& fecha) {
    if (!vb::EsFecha(fecha))
        return QStringLiteral("NULL");
    return srv.g_oCentral->getDateFormatbyEntity(kEntidad, fecha);
}

// Quantity of a line: the stored one when it is above 0, else the net weight when the unit (as
// stored) is kilograms, else 0.
QString cantidadEspecial(const LineaArt& art, Col campoCantidad, Col campoUnidad, int& linea, int lineaBase) {
    linea = lineaBase;
    const double cantidad = art.numero(campoCantidad);
    if (cantidad > 0) {
        linea = lineaBase + 10;
        return vb::NumeroSql(cantidad);
    }
    linea = lineaBase + 30;
    if (art.texto(campoUnidad) == u"01") {
        linea = lineaBase + 40;
        return vb::NumeroSql(art.numero(Col::ARTKGU));
    }
    linea = lineaBase + 60;
    return QStringLiteral("0");
}

} // namespace

QString sentenciaSubitems(const EstadoAsistente& estado, const LineaArt& art, int& linea) {
    const auto dsc = [&art](Col c) { return vb::Trim(art.texto(c)); };
    QString s =
        QStringLiteral("insert into subitems "
                       "(idarticulo,idcatalogo,descripcion,Descripcion_Maria,interno,ncm,IdUnidad,Cantidad,"
                       "Preciounitario,IdPais,idpaisproc,KGNETO,fob,OTROS,CODIGOEAN,EstadoMerc,estadistica,"
                       "valorrelacionestadistica,"
                       "sufijos,LAPI,valorderesp,kgbruto,biendeuso,deresp) values (");
    linea = 370;
    s += art.citado(Col::ARTNRO) + u',';
    linea = 380;
    s += vb::SqlTexto(estado.g_sINTCAT) + u',';
    linea = 390;
    s += art.citado(Col::ARTDSC) + u',';
    linea = 400;
    s += vb::SqlTexto(dsc(Col::ARTDSCMARIA) + u' ' + dsc(Col::ARTDSCMARIA2) + u' ' + dsc(Col::ARTDSCMARIA3)) +
         u',';
    linea = 410;
    s += vb::SqlTexto(estado.g_sInterno) + u',';
    linea = 420;
    s += art.citado(Col::PRCNCM) + u',';
    linea = 430;
    s += art.citado(Col::PRCDUN) + u',';
    linea = 440;
    s += art.guardado(Col::PRCCAN) + u',';
    linea = 450;
    if (art.unidadEnKilos()) {
        linea = 460;
        s += art.precioDesdeTotal() + u',';
    } else {
        linea = 480;
        s += art.guardado(Col::ARTUNI) + u',';
    }
    linea = 500;
    s += art.citado(Col::PRCORI) + u',';
    linea = 510;
    s += art.citado(Col::PROCEDENCIA) + u',';
    linea = 520;
    s += vb::PuntoDecimal(vb::Format(art.numero(Col::ARTKGU), QStringLiteral("00.00"))) + u',';
    linea = 530;
    s += art.guardado(Col::ARTTOT) + u',';
    linea = 535;
    s += art.citado(Col::OTROS) + u',';
    linea = 538;
    s += art.citado(Col::CODIGOCIP) + u',';
    linea = 540;
    s += art.citado(Col::PRCESM) + u',';
    linea = 550;
    s += art.citado(Col::PRCEUN) + u',';
    s += cantidadEspecial(art, Col::PRCECA, Col::PRCEUN, linea, 560) + u',';
    linea = 650;
    s += art.citado(Col::PRCSUF) + u',';
    linea = 660;
    s += art.citado(Col::PRCLAP) + u',';
    s += cantidadEspecial(art, Col::PRCSCA, Col::PRCSUN, linea, 670) + u',';
    linea = 760;
    s += QStringLiteral("0,");
    linea = 770;
    s += QStringLiteral("'N',");
    linea = 780;
    s += art.citado(Col::PRCSUN) + u')';
    return s;
}

void FRAM3_Transfer_B_Pasaje(Servicios& srv, EstadoAsistente& estado, bool& ok) {
    int linea = 0;
    try {
        linea = 20;
        ok = false;
        const QString interno = internoSql(estado.g_sInterno);
        Recordset rs;
        linea = 30;
        aduana(srv).setSql(QStringLiteral("select interno from caratula where interno = '") + interno +
                           u'\'');
        linea = 40;
        if (aduana(srv).CrearRs(rs)) {
            linea = 50;
            if (srv.interaccion().mensaje(QStringLiteral("El interno [ ") + estado.g_sInterno +
                                              QStringLiteral(" ] ya existe.\r\n\r\nDesea reemplazarlo?"),
                                          Icono::Pregunta, Botones::SiNo) == Respuesta::No)
                return;
            linea = 60;
            aduana(srv).setSql(QStringLiteral("delete from caratula where interno = '") + interno + u'\'');
            linea = 70;
            aduana(srv).Ejecutar();
            linea = 80;
            aduana(srv).setSql(QStringLiteral("delete from subitems where interno = '") + interno + u'\'');
            linea = 90;
            aduana(srv).Ejecutar();
            linea = 100;
            aduana(srv).setSql(QStringLiteral("delete from facturas where interno = '") + interno + u'\'');
            linea = 110;
            aduana(srv).Ejecutar();
        }
        linea = 130;
        srv.progreso().barraRango(0, 100);
        linea = 140;
        srv.progreso().barraValor(1);

        linea = 150;
        srv.g_oBase->setSql(
            QStringLiteral("select FECHA_EMBARQUE,FECHA_ARRIBO,sum(ARTTOT) as total from ART where "
                           "INTNRO = '") +
            interno + QStringLiteral("' group by FECHA_EMBARQUE,FECHA_ARRIBO"));
        linea = 160;
        if (!srv.g_oBase->CrearRs(rs))
            return;
        linea = 170;
        const QString embarque =
            vb::Trim(srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("FECHA_EMBARQUE"))));
        linea = 180;
        const QString arribo = vb::Trim(srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("FECHA_ARRIBO"))));
        linea = 190;
        const QString embarqueSql = fechaSql(srv, embarque);
        linea = 230;
        const QString arriboSql = fechaSql(srv, arribo);
        linea = 290;
        const double total =
            srv.g_oFormatos->EsNumero(srv.g_oFormatos->EsNull(rs.Fields(QStringLiteral("Total"))));

        linea = 300;
        aduana(srv).setSql(
            QStringLiteral("insert into caratula (interno,idsubreg, fechaalta, ONCCAHabilitado, "
                           "DJAI_FECHA_EMB_APROX, DJAI_FECHA_ARRIB_APROX, fobdivisas , fobcoddivisas, "
                           "fobdivcambio) values ('") +
            interno + QStringLiteral("','DJAI',") +
            srv.g_oCentral->getDateFormatbyEntity(kEntidad, QDateTime::currentDateTime()) +
            QStringLiteral(",'N',") + embarqueSql + u',' + arriboSql + u',' +
            vb::PuntoDecimal(vb::Format(total, QStringLiteral("00.00"))) + QStringLiteral(",'DOL',1.0000)"));
        linea = 310;
        aduana(srv).Ejecutar();

        linea = 320;
        srv.g_oBase->setSql(QStringLiteral("select * from ART where INTNRO = '") + interno +
                            QStringLiteral("' and PRCCRC = 'OK' order by ARTORD"));
        linea = 330;
        if (!srv.g_oBase->CrearRs(rs))
            return;
        linea = 340;
        srv.progreso().barraRango(0, rs.RecordCount());
        linea = 350;
        const LineaArt art(srv, estado, rs);
        // The inserts go without waiting for each answer (on a server); a failure is found out a
        // few lines later and reported as the failure of its own line.
        try {
            try {
                while (!rs.Fin()) {
                    linea = 360;
                    const QString sentencia = sentenciaSubitems(estado, art, linea);
                    linea = 790;
                    aduana(srv).setSql(sentencia);
                    linea = 800;
                    aduana(srv).EjecutarEnCola(sentencia, 800, true);
                    linea = 830;
                    srv.progreso().barraValor(rs.AbsolutePosition());
                    linea = 850;
                    rs.MoveNext();
                    linea = 350;
                }
            } catch (const VbError&) {
                // The lines queued before the failure still go in; a queued insert that failed
                // before it is the failure to report.
                aduana(srv).ConfirmarCola();
                throw;
            }
            linea = 800;
            aduana(srv).ConfirmarCola();
        } catch (const Velno::FallaEnCola& f) {
            if (f.sinFilas()) {
                // A line that added no row stops the transfer there.
                linea = 810;
                throw VbError(
                    1, QStringLiteral("Transfiriendo a Kalmora"),
                    QStringLiteral("Error Grabando registro en Kalmora Windows: 0 Registros agregados"));
            }
            linea = f.marca();
            throw;
        }
        linea = 870;
        ok = true;
    } catch (const VbError& e) {
        ok = false;
        // Inside the driver's transaction nothing of the interno stays: undone before the report.
        const QString nota = deshacerTransferencia(srv, estado);
        srv.interaccion().mensaje(
            informeNumerado(e, QStringLiteral("frmMain.FRAM3_Transfer_B_Pasaje"), linea) + nota);
    }
}

} // namespace tarvix
