#include "app/ventanas/frmmain.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "review/lista/ventanas/frmdep.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

class TstPaso3Ventana : public QObject {
    Q_OBJECT
private slots:
    void pasoTresEnLaVentana();
};

void TstPaso3Ventana::pasoTresEnLaVentana() {
    prueba::aislarConfiguracion();
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion;
    frmMain v(srv, estado);
    srv.setInteraccion(&guion);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    v.iniciar(dir.path());
    estado.g_sINTCAT = QStringLiteral("1");
    const auto ejecutar = [&srv](const QString& sql) {
        srv.g_oBase->setSql(sql);
        srv.g_oBase->Ejecutar();
    };
    ejecutar(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('7','siete')"));
    for (int i = 1; i <= 12; ++i)
        ejecutar(QStringLiteral(
                     "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTCAN, ARTUNI, ARTTOT, ARTKGU, "
                     "PRCDUN, PRCCAN, PRCEST, PRCCRC) values ('7', %1, 'V-%1', 'X', 1, 2, 2, 1, '07', 1, "
                     "'%2', '%3')")
                     .arg(i)
                     .arg(i <= 9 ? QStringLiteral("A") : QString())
                     .arg(i == 12 ? QStringLiteral("SUF") : QStringLiteral("OK")));
    v.controlador().FRAM1_CargarInternos();
    prueba::hijo<QPushButton>(v, "cmdSiguiente")->click(); // step 2: the interno has lines
    prueba::hijo<QPushButton>(v, "cmdSiguiente")->click(); // step 3
    QCOMPARE(prueba::hijo<QLabel>(v, "lbPasoNro")->text(), QStringLiteral("Paso 3"));
    QCOMPARE(prueba::hijo<QLabel>(v, "FRAM3_lbTotal")->text(), QStringLiteral("0012"));
    QCOMPARE(prueba::hijo<QLabel>(v, "FRAM3_lbEnCatalogo")->text(), QStringLiteral("0009"));
    QCOMPARE(prueba::hijo<QLabel>(v, "FRAM3_lbNuevos")->text(), QStringLiteral("0003"));
    QCOMPARE(prueba::hijo<QLabel>(v, "FRAM3_lbErroneos")->text(), QStringLiteral("0001"));
    QCOMPARE(prueba::hijo<QLabel>(v, "FRAM3_lbErrPos")->text(), QStringLiteral("0000"));
    QCOMPARE(prueba::hijo<QLabel>(v, "FRAM3_lbErrSuf")->text(), QStringLiteral("0001"));

    prueba::hijo<QPushButton>(v, "FRAM3_cmdRegErr")->click();
    QCOMPARE(estado.g_iModoLista, 1);
    prueba::hijo<QPushButton>(v, "FRAM3_cmdRegOk")->click();
    // Both open the one review window, each setting its list's mode.
    QCOMPARE(estado.g_iModoLista, 2);
    QVERIFY(ventanaRevision());
    ventanaRevision()->close();

    // "Transferir" refuses while a line has an error, then goes through once it is corrected.
    guion.limpiar();
    prueba::hijo<QPushButton>(v, "cmdSiguiente")->click();
    QCOMPARE(guion.mensajes().size(), 1);
    QVERIFY(guion.mensajes()[0].texto.startsWith(QStringLiteral("Hay registros para depurar.")));
    QCOMPARE(prueba::hijo<QLabel>(v, "Main_lbMensaje")->text(), QStringLiteral("Validando datos..."));
    ejecutar(QStringLiteral("update ART set PRCCRC = 'OK'"));
    guion.limpiar();
    prueba::hijo<QPushButton>(v, "cmdSiguiente")->click();
    QCOMPARE(guion.mensajes().size(), 1);
    QCOMPARE(guion.mensajes()[0].texto, QStringLiteral("Se transfirio 12 articulos en el interno 7"));
    const QString fin =
        QStringLiteral("Fin de proceso. Se transfirió el interno 7; con «< Anterior» se pasa a "
                       "otro interno.");
    QCOMPARE(prueba::hijo<QLabel>(v, "Main_lbMensaje")->text(), fin);
    QVERIFY(!prueba::hijo<QProgressBar>(v, "Main_PrB")->isVisible());
    v.controlador().notificar(); // a later redraw keeps the text
    QCOMPARE(prueba::hijo<QLabel>(v, "Main_lbMensaje")->text(), fin);
    // The counters stay as they were computed on entering step 3.
    QCOMPARE(prueba::hijo<QLabel>(v, "FRAM3_lbErroneos")->text(), QStringLiteral("0001"));
}

QTEST_MAIN(TstPaso3Ventana)
#include "tst_paso3ventana.moc"
