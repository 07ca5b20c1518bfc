#include "camino.h"
#include "components/vb.h"
#include "testsupport.h"

#include <QTest>

using namespace tarvix;
using camino::Programa;

namespace {

// The lines of the example invoice the catalog does not know: the position and the answers of the
// value-suffix dialogue.
struct Correccion {
    QString articulo;
    QString posicion;
    QStringList valores;
    QList<int> opciones;
};
const Correccion kCorrecciones[] = {
    {QStringLiteral("NIV60"), QStringLiteral("9017.80.90.000T"), {QStringLiteral("TOOLMAX")}, {}},
    {QStringLiteral("MECHA10"), QStringLiteral("8207.13.00.000S"), {QStringLiteral("TOOLMAX")}, {}},
    {QStringLiteral("AMOL115"),
     QStringLiteral("8467.29.99.000Z"),
     {QStringLiteral("toolmax"), QStringLiteral("AMOL115"), QStringLiteral("850")},
     {1}},
};

} // namespace

// Undo on the road of an invoice: the lines corrected by hand lost to a second run of the same
// invoice come back, then the correction before it; a run stopped by an "N/A" article is undone;
// after a transfer the dispatch in the customs database stays as it went.
class TstDeshacer : public QObject {
    Q_OBJECT
private slots:
    void deshacer_data();
    void deshacer();
};

void TstDeshacer::deshacer_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_AR") << QStringLiteral("es_AR");
    QTest::newRow("en_US") << QStringLiteral("en_US");
}

void TstDeshacer::deshacer() {
    QFETCH(QString, locale);
    const prueba::LocaleFijo fijo(locale);
    Programa p;
    const QString interno = QStringLiteral("DESH");
    const auto lineas = [&] {
        return p.filasTrabajo(QStringLiteral("select * from ART where INTNRO = 'DESH' order by ARTORD"));
    };
    // The example invoice; `filaNA` its row with the article "N/A", `otra` with one line more and
    // another quantity of NIV60.
    const auto procesar = [&](int filaNA, bool otra) {
        p.abrirFactura(QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx"));
        ModeloGrilla& grilla = p.paso2().grilla();
        if (filaNA > 0)
            grilla.setTextMatrix(filaNA, 22, QStringLiteral("N/A"));
        if (otra) {
            const int nueva = grilla.Rows();
            grilla.insertarFila(nueva);
            for (int c = 0; c < grilla.Cols(); ++c)
                grilla.setTextMatrix(nueva, c, grilla.TextMatrix(nueva - 1, c));
            grilla.setTextMatrix(nueva, 22, QStringLiteral("EXTRA1"));
            for (int f = 2; f < nueva; ++f)
                if (grilla.TextMatrix(f, 22) == u"NIV60")
                    grilla.setTextMatrix(f, 4, QStringLiteral("999"));
        }
        p.paso2().cmdAutomatico_Click();
        p.establecerCampo(1, QStringLiteral("[ DESCRIPC ]"));
        p.establecerCampo(8, QStringLiteral("[ KILOS ]"));
        // The check before the run would stop an "N/A" article: the run is called on its own, as
        // a run that fails in its middle.
        if (filaNA > 0)
            p.asistente().FRAM2_GuardarDatosToBase();
        else
            p.principal().MAIN_CambiarPaso();
    };
    const auto mensaje = [&] { return p.principal().Main_lbMensaje; };
    const auto comienza = [&](const QString& texto) {
        return mensaje().startsWith(texto) && mensaje().contains(vb::TextoFecha(QDate::currentDate()));
    };

    QVERIFY(p.crearYElegirInterno(interno));
    // Nothing done yet: nothing to undo.
    p.principal().MAIN_Deshacer();
    QCOMPARE(mensaje(), QStringLiteral("No hay cambios para deshacer en el interno DESH"));
    p.responderRelaciones(5, camino::kPaisesEjemplo);
    procesar(0, false);
    QCOMPARE(p.estado.g_iPaso, 3);
    QCOMPARE(p.paso3().cuentas.nuevos, 3);

    // Three lines corrected in the editor; each save keeps the lines before it.
    QList<QVariantMap> antesDeLaUltima;
    for (const Correccion& c : kCorrecciones) {
        antesDeLaUltima = lineas();
        p.guion.entradas.append(c.valores);
        for (int o : c.opciones)
            p.guion.opciones.enqueue(o);
        const QString artord =
            p.valor(QStringLiteral("select ARTORD from ART where INTNRO = 'DESH' and ARTNRO = ") +
                    vb::SqlTexto(c.articulo));
        QVERIFY2(p.corregirLinea(artord.toInt(), c.posicion), qPrintable(p.mensajesNuevos().join(u'|')));
    }
    const QList<QVariantMap> corregidas = lineas();

    // The classification a corrected line passes on.
    const auto valores = [&](const QList<QVariantMap>& filas, const QString& articulo) {
        QVariantMap r;
        for (const QVariantMap& f : filas)
            if (f[QStringLiteral("artnro")] == articulo)
                for (const char* c : {"prcncm", "prcsuf", "sufijo1", "valor_sufijo1", "prclap", "prcdun",
                                      "prceun", "prcsun", "prcesm", "prcori", "artdscmaria"})
                    r.insert(QString::fromLatin1(c), f[QString::fromLatin1(c)]);
        return r;
    };
    const QString pregunta = QStringLiteral("El interno tiene 3 líneas corregidas a mano. ¿Conservar las "
                                            "correcciones en las líneas del mismo artículo?");
    p.mensajesNuevos();

    // The invoice again, one line more and another quantity of NIV60. Answered "No", the run loses
    // the corrections; undo brings them back and the counters with them.
    p.principal().MAIN_PasoAnterior();
    p.guion.respuestas.enqueue(Respuesta::No);
    procesar(0, true);
    QCOMPARE(p.mensajesNuevos(), QStringList{pregunta});
    QCOMPARE(p.estado.g_iPaso, 3);
    QCOMPARE(p.paso3().FRAM3_lbTotal, QStringLiteral("0015"));
    QCOMPARE(p.paso3().cuentas.nuevos, 4);
    p.principal().MAIN_Deshacer();
    QVERIFY2(comienza(QStringLiteral("Se deshizo el procesamiento del ")), qPrintable(mensaje()));
    QCOMPARE(lineas(), corregidas);
    QCOMPARE(p.paso3().FRAM3_lbTotal, QStringLiteral("0014"));
    QCOMPARE(p.paso3().cuentas.nuevos, 0); // the corrected lines count as correct again

    // Answered "Sí": the lines of the same quantity stay corrected and correct; NIV60 keeps its
    // classification and is left for review; only the line added is new.
    p.principal().MAIN_PasoAnterior();
    procesar(0, true);
    QCOMPARE(p.mensajesNuevos(), QStringList{pregunta});
    QCOMPARE(mensaje(), QStringLiteral("Se conservaron las correcciones en 3 líneas; 1 cambió de cantidad o "
                                       "total y quedó para revisar"));
    QCOMPARE(p.paso3().cuentas.nuevos, 1);
    QCOMPARE(p.paso3().cuentas.erroneos, 1);
    const QList<QVariantMap> conservadas = lineas();
    for (const Correccion& c : kCorrecciones) {
        QCOMPARE(valores(corregidas, c.articulo)[QStringLiteral("prcncm")].toString(), c.posicion);
        QCOMPARE(valores(conservadas, c.articulo), valores(corregidas, c.articulo));
    }
    QCOMPARE(p.valor(QStringLiteral("select PRCCRC || ' ' || PRCEST from ART where ARTNRO = 'NIV60'")),
             QStringLiteral("REV M"));
    QCOMPARE(p.valor(QStringLiteral("select count(*) from ART where PRCEST = 'M' and PRCCRC = 'OK'")),
             QStringLiteral("2"));
    p.principal().MAIN_Deshacer();
    QVERIFY2(comienza(QStringLiteral("Se deshizo el procesamiento del ")), qPrintable(mensaje()));
    QCOMPARE(lineas(), corregidas);
    // Again: the lines before the last correction.
    p.principal().MAIN_Deshacer();
    QVERIFY2(comienza(QStringLiteral("Se deshizo la corrección del ")), qPrintable(mensaje()));
    QCOMPARE(lineas(), antesDeLaUltima);

    // A run stopped by an "N/A" article on row 7 is undone to the lines before it.
    const QList<QVariantMap> antesDelFallo = lineas();
    p.principal().MAIN_PasoAnterior();
    procesar(7, false);
    QCOMPARE(p.estado.g_iPaso, 2);
    QVERIFY(p.mensajesNuevos().join(u'|').contains(QStringLiteral("no puede ser N/A")));
    QCOMPARE(lineas().size(), 5);
    p.principal().MAIN_Deshacer();
    QVERIFY2(comienza(QStringLiteral("Se deshizo el procesamiento del ")), qPrintable(mensaje()));
    QCOMPARE(lineas(), antesDelFallo);

    // Corrected again and transferred: undo says the dispatch does not change, and it does not.
    p.principal().MAIN_PasoAnterior();
    p.principal().MAIN_CambiarPaso();
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.estado.g_iPaso, 3);
    const Correccion& ultima = kCorrecciones[2];
    p.guion.entradas.append(ultima.valores);
    p.guion.opciones.enqueue(ultima.opciones[0]);
    QVERIFY(p.corregirLinea(
        p.valor(QStringLiteral("select ARTORD from ART where INTNRO = 'DESH' and ARTNRO = 'AMOL115'"))
            .toInt(),
        ultima.posicion));
    p.mensajesNuevos();
    p.principal().MAIN_CambiarPaso();
    QCOMPARE(p.mensajesNuevos(),
             QStringList{QStringLiteral("Se transfirio 14 articulos en el interno DESH")});
    const auto despacho = [&] {
        return p.filasAduana(QStringLiteral("select * from subitems where interno = 'DESH' order by 1, 2"));
    };
    const QList<QVariantMap> transferido = despacho();
    const QList<QVariantMap> lineasTransferidas = lineas();
    p.principal().MAIN_Deshacer();
    QVERIFY2(comienza(QStringLiteral("Se deshizo la transferencia del ")), qPrintable(mensaje()));
    QVERIFY2(mensaje().endsWith(QStringLiteral("; el despacho transferido no cambia")),
             qPrintable(mensaje()));
    QCOMPARE(lineas(), lineasTransferidas);
    p.principal().MAIN_Deshacer();
    QVERIFY2(comienza(QStringLiteral("Se deshizo la corrección del ")), qPrintable(mensaje()));
    QCOMPARE(lineas(), antesDelFallo);
    QCOMPARE(despacho(), transferido);
}

QTEST_GUILESS_MAIN(TstDeshacer)
#include "tst_deshacer.moc"
