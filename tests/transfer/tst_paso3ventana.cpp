#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "testsupport.h"
#include "transfer/paso3ventana.h"
#include "ui/frmmain.h"

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
    Globales g;
    InteraccionGuionada guion;
    frmMain v(g);
    g.interaccion = &guion;
    QList<int> modos;
    instalarPaso3(v, g, [&] { modos << g.g_iModoLista; });
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    v.iniciar(dir.path());
    g.g_sINTCAT = QStringLiteral("1");
    const auto ejecutar = [&g](const QString& sql) {
        g.g_oBase->setSql(sql);
        g.g_oBase->Ejecutar();
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
    v.cmdSiguiente->click(); // step 2: the interno has lines
    v.cmdSiguiente->click(); // step 3
    QCOMPARE(v.lbPasoNro->text(), QStringLiteral("Paso 3"));
    QCOMPARE(v.FRAM3_lbTotal->text(), QStringLiteral("0012"));
    QCOMPARE(v.FRAM3_lbEnCatalogo->text(), QStringLiteral("0009"));
    QCOMPARE(v.FRAM3_lbNuevos->text(), QStringLiteral("0003"));
    QCOMPARE(v.FRAM3_lbErroneos->text(), QStringLiteral("0001"));
    QCOMPARE(v.FRAM3_lbErrPos->text(), QStringLiteral("0000"));
    QCOMPARE(v.FRAM3_lbErrSuf->text(), QStringLiteral("0001"));

    v.FRAM3_cmdRegErr->click();
    v.FRAM3_cmdRegOk->click();
    QCOMPARE(modos, (QList<int>{1, 2}));

    // "Transferir" refuses while a line has an error, then goes through once it is corrected.
    guion.limpiar();
    v.cmdSiguiente->click();
    QCOMPARE(guion.mensajes().size(), 1);
    QVERIFY(guion.mensajes()[0].texto.startsWith(QStringLiteral("Hay registros para depurar.")));
    QCOMPARE(v.Main_lbMensaje->text(), QStringLiteral("Validando datos..."));
    ejecutar(QStringLiteral("update ART set PRCCRC = 'OK'"));
    guion.limpiar();
    v.cmdSiguiente->click();
    QCOMPARE(guion.mensajes().size(), 1);
    QCOMPARE(guion.mensajes()[0].texto, QStringLiteral("Se transfirio 12 articulos en el interno 7"));
    QCOMPARE(v.Main_lbMensaje->text(), QStringLiteral("Fin de proceso"));
    QVERIFY(!v.Main_PrB->isVisible());
    v.controlador().notificar(); // a later redraw keeps the text
    QCOMPARE(v.Main_lbMensaje->text(), QStringLiteral("Fin de proceso"));
    // The counters stay as they were computed on entering step 3.
    QCOMPARE(v.FRAM3_lbErroneos->text(), QStringLiteral("0001"));
}

QTEST_MAIN(TstPaso3Ventana)
#include "tst_paso3ventana.moc"
