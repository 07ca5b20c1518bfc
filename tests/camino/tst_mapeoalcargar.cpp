#include "camino.h"
#include "components/configuracion.h"
#include "intake/carga/disposiciones.h"
#include "intake/carga/grilla.h"
#include "intake/carga/mapeo.h"
#include "intake/carga/paso2.h"
#include "programa.h"
#include "testsupport.h"

#include <QTest>

using namespace tarvix;
using prueba::Programa;

namespace {

const QString kEjemplos = QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo");
const QString kPropuestos = QString::fromUtf8(kAvisoPropuestos);
const QString kRecordado = QString::fromUtf8(kAvisoRecordado);

QStringList filaCampos(const ModeloGrilla& g) {
    QStringList r;
    for (int c = 0; c < g.Cols(); ++c)
        r << g.TextMatrix(kFilaCampos, c);
    return r;
}

Programa::Opciones opciones() {
    return Programa::Opciones().conAjustes(QStringLiteral("1"), QStringLiteral("07")).conMapeoAlCargar();
}

} // namespace

// The mapping a load leaves in the field row: proposed from the headers, remembered per layout
// once an invoice with those headers was processed, neither when the settings turn them off; F1
// overrides both.
class TstMapeoAlCargar : public QObject {
    Q_OBJECT
private slots:
    void ejemploPropuesto_data();
    void ejemploPropuesto();
    void recordadoTrasProcesar();
    void apagadoPorLaConfiguracion();
    void etiquetasPuestasNoSeReemplazan();
};

void TstMapeoAlCargar::ejemploPropuesto_data() {
    QTest::addColumn<QString>("factura");
    QTest::addColumn<QString>("locale");
    QTest::newRow("xlsx es_AR") << kEjemplos + QStringLiteral(".xlsx") << "es_AR";
    QTest::newRow("xls es_AR") << kEjemplos + QStringLiteral(".xls") << "es_AR";
    QTest::newRow("xlsx en_US") << kEjemplos + QStringLiteral(".xlsx") << "en_US";
}

// The example invoice: every required field that is proposed stands in the column the fixed layout
// of "Selección automatica" (and the description and weight columns) give it; the verification
// passes after the proposal and after the fixed layout on top of it.
void TstMapeoAlCargar::ejemploPropuesto() {
    QFETCH(QString, factura);
    QFETCH(QString, locale);
    const prueba::LocaleFijo fijo(locale);
    Programa p(opciones());
    QVERIFY(p.crearYElegirInterno(QStringLiteral("M-1")));
    p.abrirFactura(factura);
    QCOMPARE(p.mensajesNuevos(), QStringList());
    QCOMPARE(p.progreso.mensajes.last(), kPropuestos);
    ModeloGrilla& g = p.paso2().grilla();
    const QStringList propuesta = filaCampos(g);

    ModeloGrilla fija;
    fija.setCols(g.Cols());
    fija.setRows(2);
    tarvix::cmdAutomatico_Click(fija, p.srv);
    fija.setTextMatrix(kFilaCampos, 1, QStringLiteral("[ DESCRIPC ]"));
    fija.setTextMatrix(kFilaCampos, 8, QStringLiteral("[ KILOS ]"));
    const QStringList esperada = filaCampos(fija);
    const QStringList requeridos =
        prueba::lista({"[ ARTICULO ]", "[ DESCRIPC ]", "[ CANTIDAD ]", "[ TOTAL ]", "[ ORIGEN ]"});
    for (int c = 0; c < g.Cols(); ++c)
        if (!propuesta[c].isEmpty() && (!esperada[c].isEmpty() || requeridos.contains(propuesta[c])))
            QVERIFY2(propuesta[c] == esperada[c],
                     qPrintable(
                         QStringLiteral("columna %1 «%2»: %3").arg(c).arg(g.TextMatrix(0, c), propuesta[c])));
    QVERIFY(p.paso2().FRAM2_VerificarDatos());
    p.paso2().cmdAutomatico_Click();
    QVERIFY(p.paso2().FRAM2_VerificarDatos());
    QCOMPARE(p.mensajesNuevos(), QStringList());
}

// A clerk corrects the proposal with F1 and processes: the next invoice with the same headers, in
// another interno and after a restart, loads with that mapping; F1 still changes it.
void TstMapeoAlCargar::recordadoTrasProcesar() {
    const prueba::LocaleFijo fijo(QStringLiteral("es_AR"));
    const QString factura = kEjemplos + QStringLiteral(".xlsx");
    QTemporaryDir carpeta;
    QStringList procesada;
    {
        Programa p(opciones().enCarpeta(carpeta.path()));
        QVERIFY(p.crearYElegirInterno(QStringLiteral("M-1")));
        p.abrirFactura(factura);
        p.establecerCampo(8, QString());                    // weight: not wanted
        p.establecerCampo(20, QStringLiteral("[ OTROS ]")); // brand column into OTROS
        procesada = filaCampos(p.paso2().grilla());
        p.responderRelaciones(5, camino::kPaisesEjemplo);
        p.principal().MAIN_CambiarPaso();
        QCOMPARE(p.mensajesNuevos().join(u'/'), QString());
        QCOMPARE(p.estado.g_iPaso, 3);
        QCOMPARE(p.valor(QStringLiteral("select count(*) from MAPEOS")), QStringLiteral("1"));
    }
    // The program starts again on the same data folder.
    Programa p(opciones().enCarpeta(carpeta.path()));
    QVERIFY(p.crearYElegirInterno(QStringLiteral("M-2")));
    p.abrirFactura(kEjemplos + QStringLiteral(".xls"));
    QCOMPARE(p.progreso.mensajes.last(), kRecordado);
    QCOMPARE(filaCampos(p.paso2().grilla()), procesada);
    p.establecerCampo(20, QStringLiteral("[ MARCA ]"));
    QCOMPARE(p.paso2().grilla().TextMatrix(kFilaCampos, 20), QStringLiteral("[ MARCA ]"));
    // Forgotten, the layout loads with the proposal again.
    const auto recordadas = disposiciones::todas(p.trabajo());
    QCOMPARE(recordadas.size(), size_t{1});
    disposiciones::olvidar(p.trabajo(), recordadas.front().encabezados);
    p.abrirFactura(factura);
    QCOMPARE(p.progreso.mensajes.last(), kPropuestos);
}

// With both settings off the load leaves the field row empty and says nothing, even for a layout
// that was remembered.
void TstMapeoAlCargar::apagadoPorLaConfiguracion() {
    Programa p(opciones());
    QVERIFY(p.crearYElegirInterno(QStringLiteral("M-1")));
    p.abrirFactura(kEjemplos + QStringLiteral(".xlsx"));
    disposiciones::recordar(p.trabajo(), p.paso2().grilla());
    configuracion::guardar(QString::fromLatin1(kProponerCampos), QStringLiteral("0"));
    p.progreso.mensajes.clear();
    p.abrirFactura(kEjemplos + QStringLiteral(".xlsx"));
    QCOMPARE(p.progreso.mensajes.value(0), kRecordado);
    configuracion::guardar(QString::fromLatin1(kRecordarMapeos), QStringLiteral("0"));
    p.progreso.mensajes.clear();
    p.abrirFactura(kEjemplos + QStringLiteral(".xlsx"));
    QCOMPARE(filaCampos(p.paso2().grilla()).join(QString()), QString());
    QVERIFY(!p.progreso.mensajes.contains(kPropuestos) && !p.progreso.mensajes.contains(kRecordado));
}

// A field row with a label keeps it and gets nothing more.
void TstMapeoAlCargar::etiquetasPuestasNoSeReemplazan() {
    Programa p(opciones());
    QVERIFY(p.crearYElegirInterno(QStringLiteral("M-1")));
    p.abrirFactura(kEjemplos + QStringLiteral(".xlsx"));
    ModeloGrilla& g = p.paso2().grilla();
    for (int c = 0; c < g.Cols(); ++c)
        g.setTextMatrix(kFilaCampos, c, QString());
    g.setTextMatrix(kFilaCampos, 3, QStringLiteral("[ MARCA ]"));
    QCOMPARE(aplicarMapeoInicial(g, p.srv, p.estado), MapeoInicial::Ninguno);
    QCOMPARE(filaCampos(g).join(QString()), QStringLiteral("[ MARCA ]"));
}

QTEST_GUILESS_MAIN(TstMapeoAlCargar)
#include "tst_mapeoalcargar.moc"
