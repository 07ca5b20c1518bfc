#include "transfer/actualcat.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "transfer/valorestransferencia.h"

namespace tarvix {

using namespace transferencia;

namespace {

// The unit price: total over quantity for kilograms, the stored unit price otherwise.
QString precio(Globales& g, const Recordset& rs, int& linea, int lineaKilos, int lineaGuardado) {
    if (unidadEnKilos(g, rs)) {
        linea = lineaKilos;
        return precioDesdeTotal(g, rs);
    }
    linea = lineaGuardado;
    return guardado(g, rs, QStringLiteral("ARTUNI"));
}

// A quantity written as the digit 0 followed by the stored text: empty gives 0, 12,5 gives 012.5.
QString conCero(Globales& g, const Recordset& rs, const QString& campo) {
    return u'0' + guardado(g, rs, campo);
}

} // namespace

QString sentenciaActualizarCatalogo(Globales& g, const Recordset& rs, int& linea) {
    const auto campo = [&](const QString& nombre) { return vb::DoblarComillas(texto(g, rs, nombre)); };
    linea = 110;
    QString s = QStringLiteral("update CATARTICULOS set ");
    linea = 120;
    s += QStringLiteral("descripcion = '") + campo(QStringLiteral("ARTDSC")) + QStringLiteral("',");
    linea = 130;
    s += QStringLiteral("idpais = '") + campo(QStringLiteral("PRCORI")) + QStringLiteral("',");
    linea = 140;
    s += QStringLiteral("cantidad = '0',");
    s += QStringLiteral("Preciounitario = ") + precio(g, rs, linea, 160, 180) + u',';
    linea = 200;
    s += QStringLiteral("ncm = '") + campo(QStringLiteral("PRCNCM")) + QStringLiteral("',");
    linea = 210;
    s += QStringLiteral("lapi = '") + campo(QStringLiteral("PRCLAP")) + QStringLiteral("',");
    linea = 220;
    s += QStringLiteral("sufijos = '") + campo(QStringLiteral("PRCSUF")) + QStringLiteral("',");
    linea = 230;
    s += QStringLiteral("idunidad = '") + campo(QStringLiteral("PRCDUN")) + QStringLiteral("',");
    linea = 240;
    s += QStringLiteral("estadistica = '") + campo(QStringLiteral("PRCEUN")) + QStringLiteral("',");
    linea = 250;
    s += QStringLiteral("valorrelacionestadistica = ") + conCero(g, rs, QStringLiteral("PRCECA")) + u',';
    linea = 260;
    s += QStringLiteral("EstadoMerc = '") + campo(QStringLiteral("PRCESM")) + QStringLiteral("',");
    linea = 270;
    s += QStringLiteral("deresp = '") + campo(QStringLiteral("PRCSUN")) + QStringLiteral("',");
    linea = 280;
    s +=
        QStringLiteral("descripcion_maria = '") + campo(QStringLiteral("ARTDSCMARIA")) + QStringLiteral("',");
    linea = 290;
    s += QStringLiteral("valorderesp = ") + conCero(g, rs, QStringLiteral("PRCSCA")) + u' ';
    linea = 300;
    s += QStringLiteral("where ");
    linea = 310;
    s += QStringLiteral("idcatalogo = '") + vb::DoblarComillas(g.g_sINTCAT) + QStringLiteral("' and ") +
         QStringLiteral("idarticulo = '") + campo(QStringLiteral("ARTNRO")) + u'\'';
    return s;
}

QString sentenciaAgregarCatalogo(Globales& g, const Recordset& rs, int& linea) {
    linea = 350;
    QString s =
        QStringLiteral("insert into CATARTICULOS (idcatalogo, idarticulo, descripcion, idpais, cantidad, "
                       "Preciounitario, ncm, lapi, sufijos, idunidad, estadistica, valorrelacionestadistica, "
                       "estadomerc, descripcion_maria ,deresp,artkgunitario) values (");
    linea = 360;
    s += vb::SqlTexto(g.g_sINTCAT) + u',';
    linea = 370;
    s += citado(g, rs, QStringLiteral("ARTNRO")) + u',';
    linea = 380;
    s += u'\'' + vb::ComillasABlancos(texto(g, rs, QStringLiteral("ARTDSC"))) + QStringLiteral("',");
    linea = 390;
    s += citado(g, rs, QStringLiteral("PRCORI")) + u',';
    linea = 400;
    s += QStringLiteral("0,");
    linea = 410;
    s += precio(g, rs, linea, 420, 440) + u',';
    linea = 460;
    s += citado(g, rs, QStringLiteral("PRCNCM")) + u',';
    linea = 470;
    s += citado(g, rs, QStringLiteral("PRCLAP")) + u',';
    linea = 480;
    s += citado(g, rs, QStringLiteral("PRCSUF")) + u',';
    linea = 490;
    s += citado(g, rs, QStringLiteral("PRCDUN")) + u',';
    linea = 500;
    s += citado(g, rs, QStringLiteral("PRCEUN")) + u',';
    linea = 510;
    s += conCero(g, rs, QStringLiteral("PRCECA")) + u',';
    linea = 520;
    s += citado(g, rs, QStringLiteral("PRCESM")) + u',';
    linea = 521;
    s += citado(g, rs, QStringLiteral("ARTDSCMARIA")) + u',';
    linea = 530;
    s += citado(g, rs, QStringLiteral("PRCSUN")) + u',';
    linea = 540;
    s += conCero(g, rs, QStringLiteral("PRCSCA")) + u')';
    return s;
}

void FRAM3_Transfer_C_ActualCAT(Globales& g, bool& ok) {
    int linea = 0;
    // The last update or insert built, shown in the report of a failure.
    QString ultima;
    try {
        linea = 20;
        ok = false;
        linea = 30;
        progreso(g).barraRango(0, 100);
        linea = 40;
        progreso(g).barraValor(1);
        Recordset rs;
        linea = 50;
        g.g_oBase->setSql(QStringLiteral("select * from ART where INTNRO = '") + internoSql(g) +
                          QStringLiteral("' order by ARTORD"));
        linea = 60;
        if (!g.g_oBase->CrearRs(rs))
            return;
        linea = 70;
        progreso(g).barraRango(0, rs.RecordCount());
        linea = 80;
        while (!rs.Fin()) {
            linea = 90;
            aduana(g).setSql(QStringLiteral("select idarticulo from catarticulos where idcatalogo = '") +
                             vb::DoblarComillas(g.g_sINTCAT) + QStringLiteral("' and idarticulo = '") +
                             vb::DoblarComillas(texto(g, rs, QStringLiteral("ARTNRO"))) + u'\'');
            linea = 100;
            Recordset existe;
            if (aduana(g).CrearRs(existe)) {
                ultima = sentenciaActualizarCatalogo(g, rs, linea);
                linea = 320;
                aduana(g).setSql(ultima);
                linea = 330;
                aduana(g).Ejecutar();
            } else {
                ultima = sentenciaAgregarCatalogo(g, rs, linea);
                linea = 550;
                aduana(g).setSql(ultima);
                linea = 560;
                aduana(g).Ejecutar();
            }
            linea = 580;
            progreso(g).barraValor(rs.AbsolutePosition());
            linea = 600;
            rs.MoveNext();
            linea = 80;
        }
        linea = 620;
        ok = true;
    } catch (const VbError& e) {
        ok = false;
        g.interaccion->mensaje(informeSinEtiqueta(e) + QStringLiteral(" - seccion [") + kProyecto +
                               QStringLiteral(".frmMain_FRAM3_Transfer_C_ActualCAT (") +
                               QString::number(linea) + QStringLiteral(")] \r\n\r\n") + ultima);
    }
}

} // namespace tarvix
