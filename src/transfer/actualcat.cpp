#include "transfer/actualcat.h"

#include "components/central.h"
#include "components/clbase.h"
#include "components/interaccion.h"
#include "components/recordset.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "data/versiones.h"
#include "transfer/valorestransferencia.h"

#include <QSet>

namespace tarvix {

using namespace transferencia;

namespace {

// The unit price: total over quantity for kilograms, the stored unit price otherwise.
QString precio(const LineaArt& art, int& linea, int lineaKilos, int lineaGuardado) {
    if (art.unidadEnKilos()) {
        linea = lineaKilos;
        return art.precioDesdeTotal();
    }
    linea = lineaGuardado;
    return art.guardado(Col::ARTUNI);
}

} // namespace

QString sentenciaActualizarCatalogo(const EstadoAsistente& estado, const LineaArt& art, int& linea) {
    const auto campo = [&art](Col c) { return vb::DoblarComillas(art.texto(c)); };
    linea = 110;
    QString s = QStringLiteral("update CATARTICULOS set ");
    linea = 120;
    s += QStringLiteral("descripcion = '") + campo(Col::ARTDSC) + QStringLiteral("',");
    linea = 130;
    s += QStringLiteral("idpais = '") + campo(Col::PRCORI) + QStringLiteral("',");
    linea = 140;
    s += QStringLiteral("cantidad = '0',");
    s += QStringLiteral("Preciounitario = ") + precio(art, linea, 160, 180) + u',';
    linea = 200;
    s += QStringLiteral("ncm = '") + campo(Col::PRCNCM) + QStringLiteral("',");
    linea = 210;
    s += QStringLiteral("lapi = '") + campo(Col::PRCLAP) + QStringLiteral("',");
    linea = 220;
    s += QStringLiteral("sufijos = '") + campo(Col::PRCSUF) + QStringLiteral("',");
    linea = 230;
    s += QStringLiteral("idunidad = '") + campo(Col::PRCDUN) + QStringLiteral("',");
    linea = 240;
    s += QStringLiteral("estadistica = '") + campo(Col::PRCEUN) + QStringLiteral("',");
    linea = 250;
    s += QStringLiteral("valorrelacionestadistica = ") + art.conCero(Col::PRCECA) + u',';
    linea = 260;
    s += QStringLiteral("EstadoMerc = '") + campo(Col::PRCESM) + QStringLiteral("',");
    linea = 270;
    s += QStringLiteral("deresp = '") + campo(Col::PRCSUN) + QStringLiteral("',");
    linea = 280;
    s += QStringLiteral("descripcion_maria = '") + campo(Col::ARTDSCMARIA) + QStringLiteral("',");
    linea = 290;
    s += QStringLiteral("valorderesp = ") + art.conCero(Col::PRCSCA) + u' ';
    linea = 300;
    s += QStringLiteral("where ");
    linea = 310;
    s += QStringLiteral("idcatalogo = '") + vb::DoblarComillas(estado.g_sINTCAT) + QStringLiteral("' and ") +
         QStringLiteral("idarticulo = '") + campo(Col::ARTNRO) + u'\'';
    return s;
}

QString sentenciaAgregarCatalogo(const EstadoAsistente& estado, const LineaArt& art, int& linea) {
    linea = 350;
    QString s =
        QStringLiteral("insert into CATARTICULOS (idcatalogo, idarticulo, descripcion, idpais, cantidad, "
                       "Preciounitario, ncm, lapi, sufijos, idunidad, estadistica, valorrelacionestadistica, "
                       "estadomerc, descripcion_maria ,deresp,artkgunitario) values (");
    linea = 360;
    s += vb::SqlTexto(estado.g_sINTCAT) + u',';
    linea = 370;
    s += art.citado(Col::ARTNRO) + u',';
    linea = 380;
    s += u'\'' + vb::ComillasABlancos(art.texto(Col::ARTDSC)) + QStringLiteral("',");
    linea = 390;
    s += art.citado(Col::PRCORI) + u',';
    linea = 400;
    s += QStringLiteral("0,");
    linea = 410;
    s += precio(art, linea, 420, 440) + u',';
    linea = 460;
    s += art.citado(Col::PRCNCM) + u',';
    linea = 470;
    s += art.citado(Col::PRCLAP) + u',';
    linea = 480;
    s += art.citado(Col::PRCSUF) + u',';
    linea = 490;
    s += art.citado(Col::PRCDUN) + u',';
    linea = 500;
    s += art.citado(Col::PRCEUN) + u',';
    linea = 510;
    s += art.conCero(Col::PRCECA) + u',';
    linea = 520;
    s += art.citado(Col::PRCESM) + u',';
    linea = 521;
    s += art.citado(Col::ARTDSCMARIA) + u',';
    linea = 530;
    s += art.citado(Col::PRCSUN) + u',';
    linea = 540;
    s += art.conCero(Col::PRCSCA) + u')';
    return s;
}

void FRAM3_Transfer_C_ActualCAT(Servicios& srv, EstadoAsistente& estado, bool& ok) {
    int linea = 0;
    // The last update or insert built, shown in the report of a failure.
    QString ultima;
    versiones::guardarSiSePuede(*srv.g_oBase, estado.g_sInterno, versiones::Motivo::Transferencia);
    try {
        linea = 20;
        ok = false;
        linea = 30;
        srv.progreso().barraRango(0, 100);
        linea = 40;
        srv.progreso().barraValor(1);
        Recordset rs;
        linea = 50;
        srv.g_oBase->setSql(QStringLiteral("select * from ART where INTNRO = '") +
                            internoSql(estado.g_sInterno) + QStringLiteral("' order by ARTORD"));
        linea = 60;
        if (!srv.g_oBase->CrearRs(rs))
            return;
        linea = 70;
        srv.progreso().barraRango(0, rs.RecordCount());
        linea = 80;
        bloquearCatalogo(srv, estado.g_sINTCAT);
        const LineaArt art(srv, estado, rs);
        const auto consulta = [&]() -> QString {
            return QStringLiteral("select idarticulo from catarticulos where idcatalogo = '") +
                   vb::DoblarComillas(estado.g_sINTCAT) + QStringLiteral("' and idarticulo = '") +
                   vb::DoblarComillas(art.texto(Col::ARTNRO)) + u'\'';
        };
        // On a server the existence reads go ahead of the loop. Each line writes only the catalog
        // row of its own article, so a read stays true while other lines are written; the read of
        // an article that an earlier line wrote (the same code again, in any case or with blanks
        // around it) is left to run in its turn, after that write.
        Velno::clBase& cat = aduana(srv);
        struct Olvido {
            Velno::clBase& base;
            ~Olvido() { base.OlvidarLecturas(); }
        } olvido{cat};
        if (cat.AnticipaLecturas()) {
            QStringList consultas;
            QSet<QString> vistos;
            for (; !rs.Fin(); rs.MoveNext()) {
                if (!vistos.contains(vb::Trim(art.texto(Col::ARTNRO)).toCaseFolded())) {
                    vistos.insert(vb::Trim(art.texto(Col::ARTNRO)).toCaseFolded());
                    consultas << consulta();
                }
            }
            rs.MoveFirst();
            cat.AnticiparLecturas(consultas, true);
        }
        // The updates and inserts go without waiting for each answer; a failure is found out a few
        // lines later and reported with its own statement.
        try {
            try {
                while (!rs.Fin()) {
                    linea = 90;
                    cat.setSql(consulta());
                    linea = 100;
                    Recordset existe;
                    if (cat.CrearRs(existe)) {
                        ultima = sentenciaActualizarCatalogo(estado, art, linea);
                        linea = 320;
                        cat.setSql(ultima);
                        linea = 330;
                        cat.EjecutarEnCola(ultima, 330);
                    } else {
                        ultima = sentenciaAgregarCatalogo(estado, art, linea);
                        linea = 550;
                        cat.setSql(ultima);
                        linea = 560;
                        cat.EjecutarEnCola(ultima, 560);
                    }
                    linea = 580;
                    srv.progreso().barraValor(rs.AbsolutePosition());
                    linea = 600;
                    rs.MoveNext();
                    linea = 80;
                }
            } catch (const VbError&) {
                // What was queued before the failure still goes in; a queued write that failed
                // before it is the failure to report.
                cat.ConfirmarCola();
                throw;
            }
            cat.ConfirmarCola();
        } catch (const Velno::FallaEnCola& f) {
            linea = f.marca();
            ultima = f.sentencia();
            throw;
        }
        linea = 620;
        ok = true;
    } catch (const VbError& e) {
        ok = false;
        const QString nota = deshacerTransferencia(srv, estado);
        srv.interaccion().mensaje(InformeError::descripcionYNumero(e)
                                      .seccion(u" - seccion [", u"frmMain_FRAM3_Transfer_C_ActualCAT (", u"")
                                      .mas(linea)
                                      .mas(u")] \r\n\r\n")
                                      .mas(ultima)
                                      .mas(nota));
    }
}

} // namespace tarvix
