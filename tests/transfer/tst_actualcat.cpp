#include "components/clbase.h"
#include "components/recordset.h"
#include "entornotransferencia.h"
#include "testsupport.h"
#include "transfer/actualcat.h"
#include "transfer/valorestransferencia.h"

#include <QTest>

using namespace tarvix;
using prueba::Entorno;

namespace {

bool actualizar(Entorno& e) {
    bool ok = false;
    FRAM3_Transfer_C_ActualCAT(e.srv, e.estado, ok);
    return ok;
}

QVariantMap entrada(Entorno& e, const QString& articulo) {
    return e.filaAduana(
        QStringLiteral("select * from catarticulos where idcatalogo = '1' and idarticulo = '") + articulo +
        u'\'');
}

// A line in kilograms with a statistical and a specific-duty quantity with decimals.
QVariantMap lineaCompleta() {
    return {{QStringLiteral("ARTNRO"), QStringLiteral("NUEVO-1")},
            {QStringLiteral("ARTDSC"), QStringLiteral("TAZA D'ANGELO")},
            {QStringLiteral("ARTDSCMARIA"), QStringLiteral("D'ANGELO")},
            {QStringLiteral("PRCDUN"), QStringLiteral("01")},
            {QStringLiteral("PRCCAN"), 2.5},
            {QStringLiteral("ARTTOT"), 3.75},
            {QStringLiteral("PRCECA"), 12.5},
            {QStringLiteral("PRCSCA"), 3.5},
            {QStringLiteral("PRCSUN"), QStringLiteral("01")},
            {QStringLiteral("PRCSUF"), QStringLiteral("AA(D'A)-")}};
}

} // namespace

class TstActualCat : public QObject {
    Q_OBJECT
private slots:
    void sentencias_data() { prueba::datosLocales(); }
    void sentencias();
    void agregarYLuegoActualizar();
    void articuloRepetidoEnElInterno();
    void fallas();
};

void TstActualCat::sentencias() {
    QFETCH(QString, locale);
    const prueba::LocaleFijo fijo(locale);
    Entorno e;
    e.linea(lineaCompleta());
    e.linea({{QStringLiteral("PRCECA"), QVariant()}, {QStringLiteral("PRCSCA"), QVariant()}});
    Recordset rs;
    e.srv.g_oBase->setSql(QStringLiteral("select * from ART order by ARTORD"));
    QVERIFY(e.srv.g_oBase->CrearRs(rs));
    const transferencia::LineaArt art(e.srv, e.estado, rs);
    int linea = 0;
    QCOMPARE(sentenciaAgregarCatalogo(e.estado, art, linea),
             QStringLiteral(
                 "insert into CATARTICULOS (idcatalogo, idarticulo, descripcion, idpais, cantidad, "
                 "Preciounitario, ncm, lapi, sufijos, idunidad, estadistica, valorrelacionestadistica, "
                 "estadomerc, descripcion_maria ,deresp,artkgunitario) values ('1','NUEVO-1','TAZA D "
                 "ANGELO','203',0,01.5000,'7318.15.00.000Z','N','AA(D''A)-','01','07',012.5,'2','D''ANGELO',"
                 "'01',03.5)"));
    QCOMPARE(linea, 540);
    QCOMPARE(sentenciaActualizarCatalogo(e.estado, art, linea),
             QStringLiteral(
                 "update CATARTICULOS set descripcion = 'TAZA D''ANGELO',idpais = '203',cantidad = '0',"
                 "Preciounitario = 01.5000,ncm = '7318.15.00.000Z',lapi = 'N',sufijos = 'AA(D''A)-',"
                 "idunidad = '01',estadistica = '07',valorrelacionestadistica = 012.5,EstadoMerc = '2',"
                 "deresp = '01',descripcion_maria = 'D''ANGELO',valorderesp = 03.5 where idcatalogo = '1' "
                 "and idarticulo = 'NUEVO-1'"));
    rs.MoveNext();
    // Stored unit price for units other than kilograms; empty quantities are written as 0.
    QVERIFY(
        sentenciaAgregarCatalogo(e.estado, art, linea)
            .endsWith(QStringLiteral("'TOR-10','TORNILLO 10 "
                                     "MM','203',0,1.5,'7318.15.00.000Z','N','AA(ACME)-','07','07',0,'2','M1',"
                                     "'',0)")));
    QVERIFY(
        sentenciaActualizarCatalogo(e.estado, art, linea).contains(QStringLiteral("Preciounitario = 1.5,")));
    QVERIFY(sentenciaActualizarCatalogo(e.estado, art, linea)
                .contains(QStringLiteral("valorrelacionestadistica = 0,")));
    QVERIFY(
        sentenciaActualizarCatalogo(e.estado, art, linea).contains(QStringLiteral("valorderesp = 0 where")));
}

void TstActualCat::agregarYLuegoActualizar() {
    const prueba::LocaleFijo fijo(QStringLiteral("es_AR"));
    Entorno e;
    e.linea(lineaCompleta());
    QVERIFY(
        !e.filaAduana(QStringLiteral("select count(*) as n from catarticulos where idarticulo = 'NUEVO-1'"))
             .value(QStringLiteral("n"))
             .toInt());
    QVERIFY(actualizar(e));
    QVERIFY(e.mensajes().isEmpty());
    QCOMPARE(e.progreso.max, 1);
    QCOMPARE(e.progreso.valor, 1);
    QVariantMap c = entrada(e, QStringLiteral("NUEVO-1"));
    QCOMPARE(c.value(QStringLiteral("descripcion")).toString(), QStringLiteral("TAZA D ANGELO"));
    QCOMPARE(c.value(QStringLiteral("descripcion_maria")).toString(), QStringLiteral("D'ANGELO"));
    QCOMPARE(c.value(QStringLiteral("cantidad")).toDouble(), 0.0);
    QCOMPARE(c.value(QStringLiteral("preciounitario")).toDouble(), 1.5);
    QCOMPARE(c.value(QStringLiteral("valorrelacionestadistica")).toDouble(), 12.5);
    QCOMPARE(c.value(QStringLiteral("artkgunitario")).toDouble(), 3.5);
    QVERIFY(c.value(QStringLiteral("valorderesp")).isNull());
    QCOMPARE(c.value(QStringLiteral("sufijos")).toString(), QStringLiteral("AA(D'A)-"));
    QCOMPARE(c.value(QStringLiteral("idunidad")).toString(), QStringLiteral("01"));
    QCOMPARE(c.value(QStringLiteral("estadistica")).toString(), QStringLiteral("07"));
    QCOMPARE(c.value(QStringLiteral("deresp")).toString(), QStringLiteral("01"));
    QCOMPARE(c.value(QStringLiteral("estadomerc")).toString(), QStringLiteral("2"));
    QCOMPARE(c.value(QStringLiteral("idpais")).toString(), QStringLiteral("203"));
    QCOMPARE(c.value(QStringLiteral("ncm")).toString(), QStringLiteral("7318.15.00.000Z"));
    QCOMPARE(c.value(QStringLiteral("lapi")).toString(), QStringLiteral("N"));

    // Corrected and transferred again: the entry is updated in place.
    e.ejecutar(QStringLiteral("update ART set PRCSCA = 7.25, PRCECA = NULL, PRCDUN = '07', ARTUNI = 2.125, "
                              "ARTDSCMARIA = 'NUEVA'"));
    QVERIFY(actualizar(e));
    QCOMPARE(e.contarAduana(QStringLiteral("catarticulos"), QStringLiteral("idarticulo = 'NUEVO-1'")), 1);
    c = entrada(e, QStringLiteral("NUEVO-1"));
    QCOMPARE(c.value(QStringLiteral("descripcion")).toString(), QStringLiteral("TAZA D'ANGELO"));
    QCOMPARE(c.value(QStringLiteral("descripcion_maria")).toString(), QStringLiteral("NUEVA"));
    QCOMPARE(c.value(QStringLiteral("cantidad")).toDouble(), 0.0);
    QCOMPARE(c.value(QStringLiteral("preciounitario")).toDouble(), 2.125);
    QCOMPARE(c.value(QStringLiteral("valorrelacionestadistica")).toDouble(), 0.0);
    QCOMPARE(c.value(QStringLiteral("valorderesp")).toDouble(), 7.25);
    QCOMPARE(c.value(QStringLiteral("artkgunitario")).toDouble(), 3.5); // the update leaves it
    QCOMPARE(c.value(QStringLiteral("idunidad")).toString(), QStringLiteral("07"));
    // Other catalogs' entries of the same article are not touched.
    QCOMPARE(
        e.contarAduana(QStringLiteral("catarticulos"), QStringLiteral("idcatalogo <> '1' and idarticulo = "
                                                                      "'NUEVO-1'")),
        0);
}

void TstActualCat::articuloRepetidoEnElInterno() {
    Entorno e;
    const qint64 antes = e.contarAduana(QStringLiteral("catarticulos"));
    e.linea({{QStringLiteral("ARTNRO"), QStringLiteral("D'ANGELO")},
             {QStringLiteral("ARTDSC"), QStringLiteral("uno")}});
    e.linea({{QStringLiteral("ARTNRO"), QStringLiteral("D'ANGELO")},
             {QStringLiteral("ARTDSC"), QStringLiteral("dos")}});
    e.linea({{QStringLiteral("PRCCRC"), QVariant()}}); // every line goes, whatever its state
    QVERIFY(actualizar(e));
    QCOMPARE(e.contarAduana(QStringLiteral("catarticulos")), antes + 2);
    QCOMPARE(entrada(e, QStringLiteral("D''ANGELO")).value(QStringLiteral("descripcion")).toString(),
             QStringLiteral("dos"));
    QCOMPARE(e.progreso.valor, 3);
}

void TstActualCat::fallas() {
    {
        // Second line: zero quantity in kilograms. The report shows the first line's statement.
        Entorno e;
        e.linea({{QStringLiteral("ARTNRO"), QStringLiteral("X-1")}});
        e.linea({{QStringLiteral("ARTNRO"), QStringLiteral("X-2")},
                 {QStringLiteral("PRCDUN"), QStringLiteral("01")},
                 {QStringLiteral("PRCCAN"), 0.0}});
        QVERIFY(!actualizar(e));
        const auto m = e.mensajes();
        QCOMPARE(m.size(), 1);
        QVERIFY(m[0].texto.startsWith(QStringLiteral(
            "División por cero\r\n\r\n11 - seccion [VezezirAZEDO2_TARVIX.frmMain_FRAM3_Transfer_C_"
            "ActualCAT (420)] \r\n\r\ninsert into CATARTICULOS (")));
        QVERIFY(m[0].texto.endsWith(
            QStringLiteral("values ('1','X-1','TORNILLO 10 MM','203',0,1.5,'7318.15.00.000Z',"
                           "'N','AA(ACME)-','07','07',010,'2','M1','',00)")));
        QCOMPARE(m[0].icono, Icono::Ninguno);
        QCOMPARE(e.contarAduana(QStringLiteral("catarticulos"), QStringLiteral("idarticulo like 'X-%'")), 1);
    }
    {
        // A unit price that is no number stops the first line before its statement is built.
        Entorno e;
        e.linea({{QStringLiteral("ARTUNI"), QVariant()}});
        QVERIFY(!actualizar(e));
        const QString t = e.mensajes().value(0).texto;
        QCOMPARE(
            prueba::visible(t),
            QStringLiteral("El valor del precio unitario (ARTUNI) del artículo TOR-10 (línea 1) está vacío. "
                           "Corrija la línea antes de transferir.\\r\\n\\r\\n13 - seccion "
                           "[VezezirAZEDO2_TARVIX.frmMain_FRAM3_Transfer_C_ActualCAT (440)] \\r\\n\\r\\n"));
    }
    {
        // No catalog table: the failure comes before any statement was built.
        Entorno e;
        e.linea();
        e.ejecutarAduana(QStringLiteral("drop table catarticulos"));
        QVERIFY(!actualizar(e));
        const QString t = e.mensajes().value(0).texto;
        QVERIFY2(t.endsWith(QStringLiteral(
                     " - seccion [VezezirAZEDO2_TARVIX.frmMain_FRAM3_Transfer_C_ActualCAT (100)] "
                     "\r\n\r\n")),
                 qPrintable(prueba::visible(t)));
        QVERIFY(t.startsWith(QStringLiteral("No existe la tabla")));
    }
    {
        // No line at all: nothing to do, nothing shown, not done.
        Entorno e;
        QVERIFY(!actualizar(e));
        QVERIFY(e.mensajes().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TstActualCat)
#include "tst_actualcat.moc"
