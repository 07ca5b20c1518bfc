// The whole road of one interno, headless, as the user walks it: a new interno, the example invoice
// loaded and mapped, processed, the lines left with errors corrected in the editor, and the transfer.
// tools/memoria.sh runs it under valgrind.

#include "app/controladorprincipal.h"
#include "components/vb.h"
#include "intake/carga/paso2.h"
#include "pipeline/proceso.h"
#include "programarobustez.h"
#include "review/modificar_logica.h"
#include "testsupport.h"
#include "transfer/paso3.h"

#include <QTest>

using namespace tarvix;
using namespace robustez;

class TstRecorrido : public QObject {
    Q_OBJECT
private slots:
    void facturaDeEjemplo_data();
    void facturaDeEjemplo();
};

void TstRecorrido::facturaDeEjemplo_data() {
    QTest::addColumn<QString>("archivo");
    QTest::newRow("xlsx") << QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx");
    QTest::newRow("xls") << QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xls");
}

void TstRecorrido::facturaDeEjemplo() {
    QFETCH(QString, archivo);
    const prueba::LocaleFijo locale(QStringLiteral("es_AR"));
    Programa p;
    QCOMPARE(p.estado.g_iPaso, 1);
    ControladorPaso2& paso2 = p.paso2();
    ControladorPaso3& paso3 = p.paso3();
    const auto aduana = Programa::recuento(p.aduana(), QString());

    // Step 1: a new interno.
    QString descripcion = QStringLiteral("Factura de ejemplo");
    QVERIFY(NuevoInterno(p.srv, p.estado, QStringLiteral("24001"), descripcion));
    p.c->FRAM1_DespuesDeNuevoInterno();
    p.c->MAIN_CambiarPaso();
    QCOMPARE(p.estado.g_iPaso, 2);

    // Step 2: the invoice, the fixed layout and the description column by hand.
    p.guion.archivos.enqueue(archivo);
    paso2.FRAM2_CmdProcesar_Click();
    QCOMPARE(paso2.grilla().Rows(), 16);
    paso2.cmdAutomatico_Click();
    paso2.grilla().setCol(1);
    p.guion.ventanasCampo.enqueue([&p] { p.estado.g_sRetorno = QStringLiteral("[ DESCRIPC ]"); });
    paso2.FRAM2_Grid_KeyDown(ControladorPaso2::vbKeyF1);
    p.c->MAIN_CambiarPaso();
    QVERIFY2(p.mensajes().isEmpty(), qPrintable(prueba::visible(p.mensajes().join(u'\n'))));
    QCOMPARE(p.estado.g_iPaso, 3);
    QCOMPARE(paso3.cuentas.total, qint64(14));
    QCOMPARE(paso3.cuentas.nuevos, qint64(3));
    QCOMPARE(p.ventanasPais, 5); // the five country texts of the invoice

    // Step 3: every line not yet correct, through the editor (position with brand only).
    Recordset pendientes =
        p.consultar(QStringLiteral("select ARTORD from ART where PRCCRC is null or PRCCRC <> 'OK'"));
    QVERIFY(pendientes.RecordCount() >= 3);
    for (; !pendientes.Fin(); pendientes.MoveNext()) {
        LogicaModificar editor(p.srv, p.estado);
        editor.abrir(pendientes.Fields(0).toInt());
        editor.Form_Activate();
        editor.txtPRCNCM.Text = QStringLiteral("8301.10.00.000P");
        p.guion.entradas.enqueue(QStringLiteral("ACME"));
        editor.ProcesarNCM(editor.txtPRCNCM.Text);
        QVERIFY2(editor.GrabarDatos(), qPrintable(prueba::visible(p.mensajes().join(u'\n'))));
    }
    paso3.FRAM3_CargarEstadisticas();
    QCOMPARE(paso3.cuentas.erroneos, qint64(0));

    // The transfer.
    p.c->MAIN_CambiarPaso();
    QCOMPARE(p.mensajes(), QStringList{QStringLiteral("Se transfirio 14 articulos en el interno 24001")});
    auto esperado = aduana;
    esperado[QStringLiteral("caratula")] += 1;
    esperado[QStringLiteral("subitems")] += 14;
    esperado[QStringLiteral("catarticulos")] += 3; // the new articles
    QCOMPARE(Programa::recuento(p.aduana(), QString()), esperado);
}

QTEST_GUILESS_MAIN(TstRecorrido)
#include "tst_recorrido.moc"
