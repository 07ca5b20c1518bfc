#include "components/central.h"
#include "components/clbase.h"
#include "components/vberror.h"
#include "entornotransferencia.h"
#include "testsupport.h"
#include "transfer/largos.h"
#include "transfer/paso3.h"

#include <QFile>
#include <QRegularExpression>

#include <QSignalSpy>
#include <QTest>

using namespace tarvix;
using prueba::Entorno;

namespace {

const QString kDepurar =
    QStringLiteral("Hay registros para depurar.\r\n\r\nHaga click en el boton \"DATOS SIN DEPURAR\"");

QStringList etiquetas(const ControladorPaso3& c) {
    return {c.FRAM3_lbTotal,    c.FRAM3_lbEnCatalogo, c.FRAM3_lbNuevos,
            c.FRAM3_lbErroneos, c.FRAM3_lbErrPos,     c.FRAM3_lbErrSuf};
}

QVariantMap estados(const QVariant& est, const QVariant& crc) {
    return {{QStringLiteral("PRCEST"), est}, {QStringLiteral("PRCCRC"), crc}};
}

} // namespace

class TstPaso3 : public QObject {
    Q_OBJECT
private slots:
    void estadisticasIndependientes();
    void estadisticasSinLineas();
    void estadisticasSinDesborde();
    void estadisticasNoAtrapanFallas();
    void validacionRechazaLineasSinDepurar_data();
    void validacionRechazaLineasSinDepurar();
    void validacionSinMayusculas();
    void textosLargosSeInformanAntes();
    void limitesSegunElEsquema();
    void transferenciaCompleta();
    void internoSinLineasSeDetieneCallado();
    void ningunArticuloLlegado();
    void etapaFallidaDejaSuLeyenda();
    void informeDelConductor();
};

void TstPaso3::estadisticasIndependientes() {
    Entorno e;
    e.linea(estados(QStringLiteral("A"), QStringLiteral("OK")));
    e.linea(estados(QStringLiteral("A"), QStringLiteral("OK")));
    e.linea(estados(QStringLiteral("E"), QStringLiteral("POS")));
    e.linea(estados(QStringLiteral("E"), QStringLiteral("SUF")));
    e.linea(estados(QStringLiteral("E"), QStringLiteral("ERR")));
    e.linea(estados(QStringLiteral(""), QVariant())); // new, never validated
    e.linea(estados(QVariant(), QVariant()));         // new, Null state
    e.linea(estados(QStringLiteral("M"), QStringLiteral("OK")));
    // Another interno's lines are not counted.
    e.linea({{QStringLiteral("INTNRO"), QStringLiteral("24002")},
             {QStringLiteral("PRCCRC"), QStringLiteral("POS")}});

    ControladorPaso3 c(e.srv, e.estado);
    QSignalSpy cambios(&c, &ControladorPaso3::cambiado);
    c.FRAM3_CargarEstadisticas();
    QVERIFY(cambios.count() >= 1);
    // Total, in catalog, new, errors (Null is not <> 'OK'), position, suffix.
    QCOMPARE(etiquetas(c),
             (QStringList{QStringLiteral("0008"), QStringLiteral("0002"), QStringLiteral("0002"),
                          QStringLiteral("0003"), QStringLiteral("0001"), QStringLiteral("0001")}));
    QCOMPARE(c.cuentas.erroneos, 3);
}

void TstPaso3::estadisticasSinLineas() {
    Entorno e;
    e.linea({{QStringLiteral("INTNRO"), QStringLiteral("otro")}});
    ControladorPaso3 c(e.srv, e.estado);
    c.FRAM3_lbTotal = QStringLiteral("x"); // recomputed on every entry into step 3
    c.FRAM3_CargarEstadisticas();
    QCOMPARE(etiquetas(c), QStringList(6, QStringLiteral("0000")));
}

void TstPaso3::estadisticasSinDesborde() {
    Entorno e;
    // 40,000 lines: 30,000 in the catalog with a position error, 10,000 new and correct.
    e.ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD, PRCEST, PRCCRC) with recursive n(i) as "
                              "(select 1 union all select i + 1 "
                              "from n where i < 40000) select '24001', i, case when i <= 30000 then 'A' else "
                              "'' end, case when i <= 30000 "
                              "then 'POS' else 'OK' end from n"));
    ControladorPaso3 c(e.srv, e.estado);
    c.FRAM3_CargarEstadisticas();
    QCOMPARE(etiquetas(c),
             (QStringList{QStringLiteral("40000"), QStringLiteral("30000"), QStringLiteral("10000"),
                          QStringLiteral("30000"), QStringLiteral("30000"), QStringLiteral("0000")}));
}

void TstPaso3::estadisticasNoAtrapanFallas() {
    Entorno e;
    e.linea();
    e.ejecutar(QStringLiteral("alter table ART rename to ART_VIEJA"));
    ControladorPaso3 c(e.srv, e.estado);
    QVERIFY_THROWS_EXCEPTION(VbError, c.FRAM3_CargarEstadisticas());
    QVERIFY(e.mensajes().isEmpty()); // the wizard reports it
    QCOMPARE(c.FRAM3_lbTotal, QStringLiteral("0000"));
}

void TstPaso3::validacionRechazaLineasSinDepurar_data() {
    QTest::addColumn<QVariant>("crc");
    QTest::newRow("Null") << QVariant();
    QTest::newRow("POS") << QVariant(QStringLiteral("POS"));
    QTest::newRow("vacío") << QVariant(QStringLiteral(""));
    QTest::newRow("blanco delante") << QVariant(QStringLiteral(" OK"));
}

void TstPaso3::validacionRechazaLineasSinDepurar() {
    QFETCH(QVariant, crc);
    Entorno e;
    e.linea();
    e.linea({{QStringLiteral("PRCCRC"), crc}});
    bool ok = true;
    FRAM3_Transfer_A_Validar(e.srv, e.estado, ok);
    QVERIFY(!ok);

    ControladorPaso3 c(e.srv, e.estado);
    e.guion.limpiar();
    c.FRM3_Tranferir();
    const auto m = e.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].texto, kDepurar);
    QCOMPARE(m[0].icono, Icono::Exclamacion);
    QCOMPARE(m[0].botones, Botones::Aceptar);
    QCOMPARE(e.progreso.mensajes, QStringList{QStringLiteral("Validando datos...")});
    QVERIFY(!e.progreso.visible);
    QCOMPARE(e.contarAduana(QStringLiteral("caratula")), 0);
}

// "ok" is "OK": the database compares texts without regard to case.
void TstPaso3::validacionSinMayusculas() {
    Entorno e;
    e.linea({{QStringLiteral("PRCCRC"), QStringLiteral("ok")}});
    bool ok = false;
    FRAM3_Transfer_A_Validar(e.srv, e.estado, ok);
    QVERIFY(ok);
}

// Texts longer than their customs columns stop the transfer before anything is written, each named
// by its line, article and field.
void TstPaso3::textosLargosSeInformanAntes() {
    Entorno e;
    e.linea({{QStringLiteral("ARTDSC"), QString(300, u'd')}});
    e.linea();
    e.linea(
        {{QStringLiteral("ARTNRO"), QString(51, u'A')}, {QStringLiteral("ARTDSCMARIA"), QString(251, u'm')}});
    // Exactly at the limit passes.
    e.linea({{QStringLiteral("ARTDSC"), QString(250, u'd')}, {QStringLiteral("PRCNCM"), QString(15, u'8')}});
    ControladorPaso3 c(e.srv, e.estado);
    c.FRM3_Tranferir();
    const auto m = e.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].icono, Icono::Exclamacion);
    const QStringList renglones = m[0].texto.split(QStringLiteral("\r\n"));
    QVERIFY(renglones[0].startsWith(QStringLiteral("No se puede transferir el interno 24001: hay textos más "
                                                   "largos de lo que admite la base aduanera.")));
    QCOMPARE(renglones.mid(2),
             (QStringList{QStringLiteral("Línea 1, artículo ") +
                              e.lineaBase().value(QStringLiteral("ARTNRO")).toString() +
                              QStringLiteral(": Descripción tiene 300 caracteres (admite 250)"),
                          QStringLiteral("Línea 3, artículo ") + QString(50, u'A') +
                              QStringLiteral(": Articulo tiene 51 caracteres (admite 50)"),
                          QStringLiteral("Línea 3, artículo ") + QString(50, u'A') +
                              QStringLiteral(": Descripción Maria tiene 251 caracteres (admite 250)")}));
    QCOMPARE(e.progreso.mensajes, QStringList{QStringLiteral("Validando datos...")});
    QCOMPARE(e.contarAduana(QStringLiteral("caratula")), 0);
    QCOMPARE(e.contarAduana(QStringLiteral("subitems")), 0);
}

// Each limit is the shortest customs column its text reaches, as the schema declares them.
void TstPaso3::limitesSegunElEsquema() {
    QFile f(QStringLiteral(TARVIX_SOURCE_DIR "/resources/customs/esquema.sql"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString esquema = QString::fromUtf8(f.readAll());
    const auto largo = [&esquema](const QString& tabla, const QString& columna) {
        const qsizetype desde =
            esquema.indexOf(QStringLiteral("create table ") + tabla + u' ', 0, Qt::CaseInsensitive);
        const qsizetype hasta = esquema.indexOf(u';', desde);
        const QRegularExpression re(QStringLiteral("\\b") + QRegularExpression::escape(columna) +
                                        QStringLiteral(" varchar\\((\\d+)\\)"),
                                    QRegularExpression::CaseInsensitiveOption);
        const auto c = re.match(esquema.mid(desde, hasta - desde));
        return desde < 0 || !c.hasMatch() ? -1 : c.captured(1).toInt();
    };
    for (const LimiteTexto& l : limitesDeTexto()) {
        int menor = -1;
        for (const QString& tc : QString::fromLatin1(l.columnas).split(u' ')) {
            const int n = largo(tc.section(u'.', 0, 0), tc.section(u'.', 1));
            QVERIFY2(n > 0, qPrintable(tc));
            menor = menor < 0 ? n : std::min(menor, n);
        }
        QVERIFY2(l.maximo == menor, l.campo);
    }
}

void TstPaso3::transferenciaCompleta() {
    Entorno e;
    for (int i = 0; i < 25; ++i)
        e.linea({{QStringLiteral("ARTNRO"), QStringLiteral("ART-%1").arg(i)}});
    ControladorPaso3 c(e.srv, e.estado);
    c.FRM3_Tranferir();
    const auto m = e.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].texto, QStringLiteral("Se transfirio 25 articulos en el interno 24001"));
    QCOMPARE(m[0].icono, Icono::Informacion);
    QCOMPARE(m[0].botones, Botones::Aceptar);
    QCOMPARE(e.progreso.mensajes,
             (QStringList{QStringLiteral("Validando datos..."),
                          QStringLiteral("Transfiriendo al Kalmora Windows..."),
                          QStringLiteral("Actualizando catalogo..."), QStringLiteral("Fin de proceso")}));
    QVERIFY(!e.progreso.visible);
    QCOMPARE(e.progreso.max, 25);
    QCOMPARE(e.progreso.valor, 25);
    QCOMPARE(e.contarAduana(QStringLiteral("catarticulos"), QStringLiteral("idarticulo like 'ART-%'")), 25);

    // The label goes through the hook when one is installed.
    QStringList vistos;
    c.mensaje = [&vistos](const QString& t) { vistos << t; };
    e.guion.respuestas.enqueue(Respuesta::Si);
    c.FRM3_Tranferir();
    QCOMPARE(vistos.last(), QStringLiteral("Fin de proceso"));
    QCOMPARE(vistos.size(), 4);
}

void TstPaso3::internoSinLineasSeDetieneCallado() {
    Entorno e;
    bool ok = false;
    FRAM3_Transfer_A_Validar(e.srv, e.estado, ok);
    QVERIFY(ok); // nothing to correct
    ControladorPaso3 c(e.srv, e.estado);
    c.FRM3_Tranferir();
    QVERIFY(e.mensajes().isEmpty());
    QCOMPARE(e.progreso.mensajes.last(), QStringLiteral("Transfiriendo al Kalmora Windows..."));
    QVERIFY(e.progreso.visible);
    QCOMPARE(e.contarAduana(QStringLiteral("caratula")), 0);
}

void TstPaso3::ningunArticuloLlegado() {
    Entorno e;
    e.linea();
    // The customs system takes the row and drops it again.
    e.ejecutarAduana(
        QStringLiteral("create trigger quitar after insert on subitems begin delete from subitems where "
                       "rowid = new.rowid; end"));
    ControladorPaso3 c(e.srv, e.estado);
    c.FRM3_Tranferir();
    const auto m = e.mensajes();
    QCOMPARE(m.size(), 1);
    QCOMPARE(m[0].texto, QStringLiteral("ERROR: No se transfirio los articulos en el interno 24001"));
    QCOMPARE(m[0].icono, Icono::Exclamacion);
    QCOMPARE(e.progreso.mensajes.last(), QStringLiteral("Fin de proceso"));
}

void TstPaso3::etapaFallidaDejaSuLeyenda() {
    Entorno e;
    e.linea();
    e.ejecutarAduana(QStringLiteral("drop table catarticulos"));
    ControladorPaso3 c(e.srv, e.estado);
    c.FRM3_Tranferir();
    const auto m = e.mensajes();
    QCOMPARE(m.size(), 1); // the stage's own report, no final count
    QVERIFY2(m[0].texto.contains(QStringLiteral("frmMain_FRAM3_Transfer_C_ActualCAT (100)")),
             qPrintable(prueba::visible(m[0].texto)));
    QCOMPARE(e.progreso.mensajes.last(), QStringLiteral("Actualizando catalogo..."));
    QVERIFY(e.progreso.visible);
    // The interno and its catalog are one transaction: what the interno transfer wrote is undone.
    QVERIFY(m[0].texto.endsWith(QStringLiteral("\r\n\r\nLa base aduanera quedó como estaba: no se escribió "
                                               "ni se reemplazó nada del interno 24001.")));
    QCOMPARE(e.contarAduana(QStringLiteral("subitems")), 0);
    QCOMPARE(e.contarAduana(QStringLiteral("caratula")), 0);
}

void TstPaso3::informeDelConductor() {
    Entorno e;
    e.linea();
    e.progreso.fallarEn = QStringLiteral("Fin de proceso");
    ControladorPaso3 c(e.srv, e.estado);
    c.FRM3_Tranferir();
    auto m = e.mensajes();
    QCOMPARE(m.size(), 2);
    QCOMPARE(prueba::visible(m[1].texto),
             QStringLiteral(
                 "Se requiere un objeto\\r\\n\\r\\n424 - seccion [VezezirAZEDO2_TARVIX.FRAM3_Transferir]:: "
                 "linea 200"));
    QCOMPARE(m[1].icono, Icono::Ninguno);

    // The customs entity is not configured: the validation passes, the interno transfer reports it.
    Entorno sinAduana;
    sinAduana.linea();
    sinAduana.srv.g_oCentral->LoadParameters(QString());
    ControladorPaso3 c2(sinAduana.srv, sinAduana.estado);
    c2.FRM3_Tranferir();
    m = sinAduana.mensajes();
    QCOMPARE(m.size(), 1);
    QVERIFY2(m[0].texto.startsWith(QStringLiteral("La entidad \"INTERNOS\" no está definida")),
             qPrintable(m[0].texto));
    QVERIFY(m[0].texto.contains(QStringLiteral("FRAM3_Transfer_B_Pasaje Linea 30 ]::Trelvan.Central")));

    // A failing validation query: the short report with the error icon.
    Entorno sinArt;
    sinArt.ejecutar(QStringLiteral("alter table ART rename to ART_VIEJA"));
    bool ok = true;
    FRAM3_Transfer_A_Validar(sinArt.srv, sinArt.estado, ok);
    QVERIFY(!ok);
    m = sinArt.mensajes();
    QCOMPARE(m.size(), 1);
    QVERIFY(m[0].texto.endsWith(
        QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmMain_FRAM3_Transfer_A_Validar]")));
    QVERIFY(m[0].texto.contains(QStringLiteral("\r\n\r\n-2147467259 - ")));
    QCOMPARE(m[0].icono, Icono::Critico);
}

QTEST_GUILESS_MAIN(TstPaso3)
#include "tst_paso3.moc"
