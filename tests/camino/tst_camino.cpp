#include "camino.h"
#include "components/central.h"
#include "components/vb.h"
#include "components/vberror.h"
#include "data/rutas.h"
#include "intake/carga/mapeo.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace tarvix;
using camino::Programa;

namespace {

const QString kDescripcion = QStringLiteral("[ DESCRIPC ]");
// How the user corrects each line the run could not complete: the position typed in the editor
// and the answers of the value-suffix dialogue.
struct Correccion {
    QString posicion;
    QStringList valores; // free-value groups, in the order asked
    QList<int> opciones; // option groups: the line chosen
    QString sufijos;     // the suffix text that results
};
const QHash<QString, Correccion> kCorrecciones{
    {QStringLiteral("AMOL115"),
     {QStringLiteral("8467.29.99.000Z"),
      {QStringLiteral("toolmax"), QStringLiteral("AMOL115"), QStringLiteral("850")},
      {1},
      QStringLiteral("AA(TOOLMAX)-AB(AMOL115)-AH01-ZB(000850)-")}},
    {QStringLiteral("NIV60"),
     {QStringLiteral("9017.80.90.000T"), {QStringLiteral("TOOLMAX")}, {}, QStringLiteral("AA(TOOLMAX)-")}},
    {QStringLiteral("MECHA10"),
     {QStringLiteral("8207.13.00.000S"), {QStringLiteral("TOOLMAX")}, {}, QStringLiteral("AA(TOOLMAX)-")}},
    {QStringLiteral("DANG10"),
     {QStringLiteral("8204.12.00.000T"), {QStringLiteral("D ANGELO")}, {}, QStringLiteral("AA(D ANGELO)-")}},
};

double numero(const QVariant& v) {
    return v.toDouble();
}

} // namespace

// An invoice from the spreadsheet to the dispatch in the customs system, as a user takes it:
// interno, load, mapping, processing, correction in the editor, transfer and a second transfer
// that replaces the first. With the embedded customs database and on the test server, under the
// user's locales.
class TstCamino : public QObject {
    Q_OBJECT
private slots:
    void caminoCompleto_data();
    void caminoCompleto();
};

void TstCamino::caminoCompleto_data() {
    QTest::addColumn<bool>("servidor");
    QTest::addColumn<QString>("factura");
    QTest::addColumn<QString>("locale");
    const QString ejemplos = QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo");
    for (const bool servidor : {false, true}) {
        const char* motor = servidor ? "postgres" : "sqlite";
        QTest::addRow("%s xlsx es_AR", motor)
            << servidor << ejemplos + QStringLiteral(".xlsx") << QStringLiteral("es_AR");
        QTest::addRow("%s xls es_AR", motor)
            << servidor << ejemplos + QStringLiteral(".xls") << QStringLiteral("es_AR");
        QTest::addRow("%s xlsx en_US", motor)
            << servidor << ejemplos + QStringLiteral(".xlsx") << QStringLiteral("en_US");
    }
}

void TstCamino::caminoCompleto() {
    QFETCH(bool, servidor);
    QFETCH(QString, factura);
    QFETCH(QString, locale);
    const auto pg = prueba::servidorDePrueba();
    if (servidor && !pg)
        QSKIP(camino::kSinServidor);
    const prueba::LocaleFijo fijo(locale);

    // On the server, names of this program alone: a copy of catalog 1 and internos with the pid.
    const QString catalogo = servidor ? camino::nombrePropio(QStringLiteral("K")) : QStringLiteral("1");
    static int caso = 0;
    const QString interno = camino::nombrePropio(QStringLiteral("CAM")) + u'-' + QString::number(++caso);
    Programa p(servidor ? pg : std::nullopt, catalogo);
    QCOMPARE(p.estado.g_iPaso, 1);
    QCOMPARE(p.mensajesNuevos(), QStringList());
    QCOMPARE(p.estado.g_sINTCAT, catalogo);
    QCOMPARE(p.srv.g_oCentral->motorDe(QStringLiteral("INTERNOS")),
             servidor ? Motor::PostgreSQL : Motor::SQLite);
    // With the entities on the server no embedded customs database is made.
    QCOMPARE(QFile::exists(rutas::baseAduana(p.carpeta())), !servidor);
    const QString segundo = interno + QStringLiteral("-B");
    camino::Limpieza limpieza(p, catalogo, {interno, segundo});
    if (servidor)
        p.ejecutarAduana(
            QStringLiteral("insert into catarticulos select ") + vb::SqlTexto(catalogo) +
            QStringLiteral(", idarticulo, descripcion, idpais, cantidad, Preciounitario, ncm, lapi, sufijos, "
                           "idunidad, estadistica, valorrelacionestadistica, EstadoMerc, deresp, "
                           "descripcion_maria, valorderesp, artkgunitario, codigoean from catarticulos "
                           "where idcatalogo = '1'"));
    // A MARIA description with a quote reaches the dispatch through the catalog.
    p.ejecutarAduana(
        QStringLiteral("update catarticulos set descripcion_maria = 'LLAVES COMBINADAS D''ANGELO' where "
                       "idarticulo = 'JL24' and idcatalogo = ") +
        vb::SqlTexto(catalogo));

    // Step 1: a new interno.
    QVERIFY(p.crearYElegirInterno(interno));

    // Step 2: the invoice, one line added by hand with quotes in its texts, the mapping.
    p.abrirFactura(factura);
    QCOMPARE(p.mensajesNuevos(), QStringList());
    ModeloGrilla& grilla = p.paso2().grilla();
    QCOMPARE(grilla.Rows(), 2 + 14);
    QCOMPARE(grilla.TextMatrix(2, 22), QStringLiteral("TX650"));
    QCOMPARE(grilla.TextMatrix(2, 9), QStringLiteral("3420"));
    QCOMPARE(grilla.TextMatrix(2, 6), QLocale().toString(28.5));
    const int nueva = grilla.Rows();
    grilla.insertarFila(nueva);
    for (int c = 0; c < grilla.Cols(); ++c)
        grilla.setTextMatrix(nueva, c, grilla.TextMatrix(nueva - 1, c));
    grilla.setTextMatrix(nueva, 1, QStringLiteral("LLAVE FRANCESA 10\" D'ANGELO"));
    grilla.setTextMatrix(nueva, 4, QStringLiteral("12"));
    grilla.setTextMatrix(nueva, 5, QStringLiteral("PCS"));
    grilla.setTextMatrix(nueva, 9, QLocale().toString(98.75));
    grilla.setTextMatrix(nueva, 10, QStringLiteral("MADE IN ITALY"));
    grilla.setTextMatrix(nueva, 20, QStringLiteral("D'ANGELO"));
    grilla.setTextMatrix(nueva, 22, QStringLiteral("DANG10"));
    double totalFactura = 0;
    for (int f = 2; f < grilla.Rows(); ++f)
        totalFactura += QLocale().toDouble(grilla.TextMatrix(f, 9));

    p.paso2().cmdAutomatico_Click();
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.mensajesNuevos(), QStringList{QStringLiteral("Falta establecer el campo DESCRIPCION")});
    QCOMPARE(p.estado.g_iPaso, 2);
    p.establecerCampo(1, kDescripcion);
    p.establecerCampo(8, QStringLiteral("[ KILOS ]"));
    QCOMPARE(grilla.TextMatrix(kFilaCampos, 1), kDescripcion);

    // Processing: each new origin text asks for its country once.
    p.responderRelaciones(5, camino::kPaisesEjemplo);
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.mensajesNuevos(), QStringList());
    QCOMPARE(p.estado.g_iPaso, 3);
    QVERIFY(p.guion.ventanasRelacionPais.isEmpty());
    QCOMPARE(p.filasTrabajo(QStringLiteral("select count(*) as n from ORG"))[0][QStringLiteral("n")].toInt(),
             5);
    const ControladorPaso3::Cuentas& cuentas = p.paso3().cuentas;
    QCOMPARE(cuentas.total, 15);
    QCOMPARE(cuentas.enCatalogo, 11);
    QCOMPARE(cuentas.nuevos, 4);
    QCOMPARE(cuentas.erroneos, 0);
    QCOMPARE(p.paso3().FRAM3_lbTotal, QStringLiteral("0015"));

    const auto lineas = [&](const QString& condicion) {
        return p.filasTrabajo(QStringLiteral("select * from ART where INTNRO = ") + vb::SqlTexto(interno) +
                              condicion + QStringLiteral(" order by ARTORD"));
    };
    const QVariantMap tx650 = lineas(QStringLiteral(" and ARTNRO = 'TX650'")).value(0);
    QCOMPARE(tx650[QStringLiteral("prcncm")].toString(), QStringLiteral("8467.21.00.000R"));
    QCOMPARE(tx650[QStringLiteral("prclap")].toString(), QStringLiteral("S"));
    QCOMPARE(tx650[QStringLiteral("prccrc")].toString(), QStringLiteral("OK"));
    QCOMPARE(lineas(QStringLiteral(" and ARTNRO = 'CAND40'")).value(0)[QStringLiteral("prcncm")].toString(),
             QStringLiteral("8301.10.00.000P"));

    // A transfer with lines left to correct is refused.
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.mensajesNuevos(),
             QStringList{QStringLiteral(
                 "Hay registros para depurar.\r\n\r\nHaga click en el boton \"DATOS SIN DEPURAR\"")});
    QCOMPARE(p.filasAduana(QStringLiteral("select count(*) as n from caratula where interno = ") +
                           vb::SqlTexto(interno))[0][QStringLiteral("n")]
                 .toInt(),
             0);

    // The editor corrects the lines the catalog did not know.
    const QList<QVariantMap> pendientes = lineas(QStringLiteral(" and (PRCCRC <> 'OK' or PRCCRC is null)"));
    QCOMPARE(pendientes.size(), 4);
    for (const QVariantMap& l : pendientes) {
        const QString articulo = l[QStringLiteral("artnro")].toString();
        QVERIFY2(kCorrecciones.contains(articulo), qPrintable(articulo));
        const Correccion& c = kCorrecciones[articulo];
        p.guion.entradas.append(c.valores);
        for (int o : c.opciones)
            p.guion.opciones.enqueue(o);
        QVERIFY2(p.corregirLinea(l[QStringLiteral("artord")].toInt(), c.posicion),
                 qPrintable(articulo + u' ' + p.mensajesNuevos().join(u'|')));
        QVERIFY(p.guion.entradas.isEmpty());
        QVERIFY(p.guion.opciones.isEmpty());
    }
    QCOMPARE(p.mensajesNuevos(), QStringList());
    QCOMPARE(lineas(QStringLiteral(" and PRCCRC = 'OK'")).size(), 15);

    // First transfer: no question; the count of the customs system.
    p.principal().MAIN_CambiarPaso();
    const QString aviso = QStringLiteral("Se transfirio 15 articulos en el interno ") + interno;
    QCOMPARE(p.mensajesNuevos(), QStringList{aviso});
    // Again: the replacement question, answered Yes; nothing doubles.
    p.guion.respuestas.enqueue(Respuesta::Si);
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.mensajesNuevos(), (QStringList{QStringLiteral("El interno [ ") + interno +
                                                  QStringLiteral(" ] ya existe.\r\n\r\nDesea reemplazarlo?"),
                                              aviso}));

    // The dispatch header.
    const QList<QVariantMap> caratula =
        p.filasAduana(QStringLiteral("select * from caratula where interno = ") + vb::SqlTexto(interno));
    QCOMPARE(caratula.size(), 1);
    const QVariantMap& c = caratula[0];
    QCOMPARE(c[QStringLiteral("idsubreg")].toString(), QStringLiteral("DJAI"));
    QCOMPARE(c[QStringLiteral("onccahabilitado")].toString(), QStringLiteral("N"));
    QCOMPARE(c[QStringLiteral("fobcoddivisas")].toString(), QStringLiteral("DOL"));
    QCOMPARE(numero(c[QStringLiteral("fobdivisas")]), std::round(totalFactura * 100) / 100);
    QCOMPARE(c[QStringLiteral("djai_fecha_emb_aprox")].toDateTime().date(), QDate(2024, 5, 10));
    QCOMPARE(c[QStringLiteral("djai_fecha_arrib_aprox")].toDateTime().date(), QDate(2024, 6, 21));
    QVERIFY(qAbs(c[QStringLiteral("fechaalta")].toDateTime().secsTo(QDateTime::currentDateTime())) < 600);

    // The article lines.
    const auto subitem = [&](const QString& articulo) {
        const QList<QVariantMap> r =
            p.filasAduana(QStringLiteral("select * from subitems where interno = ") + vb::SqlTexto(interno) +
                          QStringLiteral(" and idarticulo = ") + vb::SqlTexto(articulo));
        return r.size() == 1 ? r[0] : QVariantMap();
    };
    QCOMPARE(p.filasAduana(QStringLiteral("select count(*) as n from subitems where interno = ") +
                           vb::SqlTexto(interno))[0][QStringLiteral("n")]
                 .toInt(),
             15);
    const QVariantMap s = subitem(QStringLiteral("TX650"));
    QCOMPARE(s[QStringLiteral("idcatalogo")].toString(), catalogo);
    QCOMPARE(s[QStringLiteral("descripcion")].toString(),
             QStringLiteral("IMPACT DRILL 650W 13MM KEYED CHUCK"));
    QCOMPARE(s[QStringLiteral("descripcion_maria")].toString(),
             QStringLiteral("TALADRO PERCUTOR ELECTRICO 650 W MANDRIL 13 MM  "));
    QCOMPARE(s[QStringLiteral("ncm")].toString(), QStringLiteral("8467.21.00.000R"));
    QCOMPARE(s[QStringLiteral("idunidad")].toString(), QStringLiteral("07"));
    QCOMPARE(numero(s[QStringLiteral("cantidad")]), 120.0);
    QCOMPARE(numero(s[QStringLiteral("preciounitario")]), 28.5);
    QCOMPARE(numero(s[QStringLiteral("fob")]), 3420.0);
    QCOMPARE(numero(s[QStringLiteral("kgneto")]), 228.0);
    QCOMPARE(s[QStringLiteral("idpais")].toString(), QStringLiteral("310"));
    QCOMPARE(s[QStringLiteral("idpaisproc")].toString(), QStringLiteral("310"));
    QCOMPARE(s[QStringLiteral("sufijos")].toString(),
             QStringLiteral("AA(TOOLMAX)-AB(TX650)-AH01-ZB(000650)-"));
    QCOMPARE(s[QStringLiteral("lapi")].toString(), QStringLiteral("S"));
    QCOMPARE(s[QStringLiteral("estadistica")].toString(), QStringLiteral("07"));
    QCOMPARE(numero(s[QStringLiteral("valorrelacionestadistica")]), 120.0);
    QCOMPARE(s[QStringLiteral("biendeuso")].toString(), QStringLiteral("N"));
    QCOMPARE(subitem(QStringLiteral("JL24"))[QStringLiteral("descripcion_maria")].toString(),
             QStringLiteral("LLAVES COMBINADAS D'ANGELO  "));
    const QVariantMap dang = subitem(QStringLiteral("DANG10"));
    QCOMPARE(dang[QStringLiteral("descripcion")].toString(), QStringLiteral("LLAVE FRANCESA 10\" D ANGELO"));
    QCOMPARE(dang[QStringLiteral("sufijos")].toString(), QStringLiteral("AA(D ANGELO)-"));
    QCOMPARE(dang[QStringLiteral("idpais")].toString(), QStringLiteral("417"));
    QCOMPARE(numero(dang[QStringLiteral("fob")]), 98.75);
    // In kilograms: the price from the total, the statistical quantity the net weight.
    const QVariantMap torn48 = subitem(QStringLiteral("TORN48"));
    QCOMPARE(torn48[QStringLiteral("idunidad")].toString(), QStringLiteral("01"));
    QCOMPARE(numero(torn48[QStringLiteral("preciounitario")]), 3.85);
    QCOMPARE(numero(torn48[QStringLiteral("valorrelacionestadistica")]), 250.0);

    // The catalog learnt the new articles and kept the quote.
    const auto articulo = [&](const QString& id) {
        return p
            .filasAduana(QStringLiteral("select * from catarticulos where idcatalogo = ") +
                         vb::SqlTexto(catalogo) + QStringLiteral(" and idarticulo = ") + vb::SqlTexto(id))
            .value(0);
    };
    QCOMPARE(p.filasAduana(QStringLiteral("select count(*) as n from catarticulos where idcatalogo = ") +
                           vb::SqlTexto(catalogo))[0][QStringLiteral("n")]
                 .toInt(),
             18 + 4);
    for (auto it = kCorrecciones.cbegin(); it != kCorrecciones.cend(); ++it) {
        const QVariantMap a = articulo(it.key());
        QCOMPARE(a[QStringLiteral("ncm")].toString(), it->posicion);
        QCOMPARE(a[QStringLiteral("sufijos")].toString(), it->sufijos);
    }
    QCOMPARE(articulo(QStringLiteral("DANG10"))[QStringLiteral("descripcion")].toString(),
             QStringLiteral("LLAVE FRANCESA 10\" D ANGELO"));
    QCOMPARE(articulo(QStringLiteral("JL24"))[QStringLiteral("descripcion_maria")].toString(),
             QStringLiteral("LLAVES COMBINADAS D'ANGELO"));
    QCOMPARE(articulo(QStringLiteral("TX650"))[QStringLiteral("descripcion")].toString(),
             QStringLiteral("IMPACT DRILL 650W 13MM KEYED CHUCK"));

    // The day goes on without a restart. After the transfer the status says so; "< Anterior" goes
    // back to step 2 (the interno keeps its lines: "Siguiente >" reviews them) and then to step 1,
    // with the list read again and the interno still selected.
    QCOMPARE(p.principal().lbInterno,
             QStringLiteral("Interno ") + interno + QStringLiteral(" - factura de ejemplo"));
    QCOMPARE(p.principal().Main_lbMensaje, QStringLiteral("Fin de proceso. Se transfirió el interno ") +
                                               interno +
                                               QStringLiteral("; con «< Anterior» se pasa a otro interno."));
    p.principal().MAIN_PasoAnterior();
    QCOMPARE(p.estado.g_iPaso, 2);
    QVERIFY(p.principal().cmdSiguienteEnabled);
    QCOMPARE(p.principal().cmdSiguienteCaption, QStringLiteral("Siguiente >"));
    p.principal().MAIN_PasoAnterior();
    QCOMPARE(p.estado.g_iPaso, 1);
    QCOMPARE(p.principal().lbInterno, QString());
    QVERIFY(!p.principal().cmdAnteriorVisible);
    QCOMPARE(p.principal().internos.at(static_cast<size_t>(p.principal().internoSeleccionado)).nro, interno);
    QCOMPARE(p.mensajesNuevos(), QStringList());

    // A second interno from the same invoice: the dialog opens where the first one was, the
    // countries and the corrected articles are known now, and its transfer leaves the first alone.
    QVERIFY(p.crearYElegirInterno(segundo));
    QCOMPARE(p.principal().lbInterno,
             QStringLiteral("Interno ") + segundo + QStringLiteral(" - factura de ejemplo"));
    p.abrirFactura(factura);
    QCOMPARE(p.guion.avisos.last().porDefecto, QFileInfo(factura).absolutePath());
    p.paso2().cmdAutomatico_Click();
    p.establecerCampo(1, kDescripcion);
    p.establecerCampo(8, QStringLiteral("[ KILOS ]"));
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.estado.g_iPaso, 3);
    QCOMPARE(p.paso3().cuentas.total, 14);
    QCOMPARE(p.paso3().cuentas.erroneos, 0);
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.mensajesNuevos(),
             QStringList{QStringLiteral("Se transfirio 14 articulos en el interno ") + segundo});
    const auto subitems = [&](const QString& nro) {
        return p
            .filasAduana(QStringLiteral("select count(*) as n from subitems where interno = ") +
                         vb::SqlTexto(nro))[0][QStringLiteral("n")]
            .toInt();
    };
    QCOMPARE(subitems(interno), 15);
    QCOMPARE(subitems(segundo), 14);
}

QTEST_GUILESS_MAIN(TstCamino)
#include "tst_camino.moc"
