#include "app/ventanas/frmmain.h"
#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "intake/carga/paso2.h"
#include "intake/carga/ventanas/frmcampos.h"
#include "intake/carga/ventanas/vistagrilla.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarvix;

class TstPaso2Ventana : public QObject {
    Q_OBJECT
private slots:
    void cargarMapearYDesplazar();
};

// The example invoice through "Procesar", F1 with the field chooser, "Selección automatica" and
// "Siguiente >", and the grid scrolled under its fixed rows.
void TstPaso2Ventana::cargarMapearYDesplazar() {
    prueba::aislarConfiguracion();
    prueba::sinMapeoAlCargar();
    const prueba::LocaleFijo locale(QStringLiteral("es_AR"));
    QTemporaryDir dir;
    Servicios srv;
    EstadoAsistente estado;
    InteraccionGuionada guion;
    frmMain v(srv, estado);
    ControladorPaso2* paso = &v.asistente().paso2();
    srv.setInteraccion(&guion);
    for (int i = 0; i < 3; ++i) // the chooser opens as the program opens it
        guion.ventanasCampo.enqueue([&v] { v.interaccion().elegirCampo(); });
    v.resize(900, 480);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    v.iniciar(dir.path());
    srv.g_oBase->setSql(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('T-1', 'Prueba')"));
    srv.g_oBase->Ejecutar();
    v.controlador().FRAM1_CargarInternos();
    prueba::hijo<QPushButton>(v, "cmdSiguiente")->click();
    QVERIFY(!prueba::hijo<QPushButton>(v, "cmdSiguiente")->isEnabled());

    auto* vista = v.findChild<VistaGrilla*>(QStringLiteral("FRAM2_Grid"));
    QVERIFY(vista && vista->accessibleName() == u"Planilla de la factura");
    const QString ruta = QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx");
    guion.archivos.enqueue(ruta);
    QTest::mouseClick(prueba::hijo<QPushButton>(v, "FRAM2_CmdProcesar"), Qt::LeftButton);
    QVERIFY2(guion.mensajes().isEmpty(), qPrintable(guion.mensajes().value(0).texto));
    QCOMPARE(prueba::hijo<QLineEdit>(v, "FRAM2_TxtArchivo")->text(), ruta);
    QVERIFY(prueba::hijo<QPushButton>(v, "cmdSiguiente")->isEnabled());
    QCOMPARE(vista->model()->rowCount(), 16);
    QCOMPARE(vista->model()->index(1, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    QCOMPARE(vista->currentIndex(), vista->model()->index(2, 0));

    // "Selección automatica", then "Siguiente >": the description is still missing. The labelled
    // columns widen to show their labels whole.
    ModeloGrilla& m = paso->grilla();
    QTest::mouseClick(prueba::hijo<QPushButton>(v, "cmdAutomatico"), Qt::LeftButton);
    QFont negrita = vista->font();
    negrita.setBold(true);
    QVERIFY(vista->columnWidth(4) > QFontMetrics(negrita).horizontalAdvance(QStringLiteral("[ CANTIDAD ]")));
    QCOMPARE(vista->filasFijas()->columnWidth(4), vista->columnWidth(4));
    prueba::hijo<QPushButton>(v, "cmdSiguiente")->click();
    QCOMPARE(guion.mensajes().last().texto, QStringLiteral("Falta establecer el campo DESCRIPCION"));
    QCOMPARE(prueba::hijo<QStackedWidget>(v, "marcos")->currentWidget(), prueba::hijo<QFrame>(v, "FRAM2"));

    // F1 on column B: the chooser opens on "< ninguno >"; two steps down and Enter.
    const auto alAbrirCampos = [](const std::function<void(frmCampos*)>& accion) {
        QTimer::singleShot(0, [accion] {
            auto* f = qobject_cast<frmCampos*>(QApplication::activeModalWidget());
            QVERIFY(f);
            accion(f);
        });
    };
    vista->setFocus();
    QTest::keyClick(vista, Qt::Key_Right);
    alAbrirCampos([](frmCampos* f) {
        QCOMPARE(f->windowTitle(), QStringLiteral("Establecer Campo"));
        QCOMPARE(prueba::hijo<QComboBox>(*f, "cboCampos")->currentText(), QStringLiteral("< ninguno >"));
        QTest::keyClick(prueba::hijo<QComboBox>(*f, "cboCampos"), Qt::Key_Down);
        QTest::keyClick(prueba::hijo<QComboBox>(*f, "cboCampos"), Qt::Key_Down);
        QTest::keyClick(prueba::hijo<QComboBox>(*f, "cboCampos"), Qt::Key_Return);
    });
    QTest::keyClick(vista, Qt::Key_F1);
    QCOMPARE(m.TextMatrix(1, 1), QStringLiteral("[ DESCRIPC ]"));
    // Esc with the list open: nothing changes and the program goes on.
    alAbrirCampos([](frmCampos* f) {
        QTest::keyClick(prueba::hijo<QComboBox>(*f, "cboCampos"), Qt::Key_Down);
        prueba::hijo<QComboBox>(*f, "cboCampos")->showPopup();
        QTest::keyClick(prueba::hijo<QComboBox>(*f, "cboCampos")->view(), Qt::Key_Escape);
    });
    QTest::keyClick(vista, Qt::Key_F1);
    QCOMPARE(m.TextMatrix(1, 1), QStringLiteral("[ DESCRIPC ]"));
    QVERIFY(v.isVisible());
    // Enter in the open list takes the highlighted label: "< ninguno >" clears the column.
    alAbrirCampos([](frmCampos* f) {
        prueba::hijo<QComboBox>(*f, "cboCampos")->setCurrentIndex(5);
        prueba::hijo<QComboBox>(*f, "cboCampos")->showPopup();
        QAbstractItemView* lista = prueba::hijo<QComboBox>(*f, "cboCampos")->view();
        lista->setCurrentIndex(lista->model()->index(0, 0));
        QTest::keyClick(lista, Qt::Key_Return);
    });
    QTest::keyClick(vista, Qt::Key_F1);
    QCOMPARE(m.TextMatrix(1, 1), QString());
    QCOMPARE(vista->currentIndex(), vista->model()->index(2, 1)); // the view stays on its data row
    // Letters typed go to the label whose field name starts with them, the labels the run also
    // recognises included; in the open list as well.
    const std::pair<const char*, const char*> tecleos[] = {{"to", "[ TOTAL ]"},
                                                           {"nc", "[ NCM ]"},
                                                           {"valor_sufijo2", "[ VALOR_SUFIJO2 ]"},
                                                           {"dx", "[ DESCRIPC ]"}};
    for (const auto& [teclas, etiqueta] : tecleos) {
        guion.ventanasCampo.enqueue([&v] { v.interaccion().elegirCampo(); });
        alAbrirCampos([teclas](frmCampos* f) {
            auto* cbo = prueba::hijo<QComboBox>(*f, "cboCampos");
            QCOMPARE(cbo->count(), 25);
            cbo->showPopup();
            QTest::keyClicks(cbo->view(), QString::fromLatin1(teclas));
            QTest::keyClick(cbo->view(), Qt::Key_Return);
        });
        QTest::keyClick(vista, Qt::Key_F1);
        QCOMPARE(m.TextMatrix(1, 1), QString::fromLatin1(etiqueta));
    }

    // Scrolled to the end, the header and the field row stay on top of the data.
    QTableView* fijas = vista->filasFijas();
    const int alto = vista->alturaFijas();
    QTest::keyClick(vista, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(vista->currentIndex().row(), 15);
    QVERIFY(vista->verticalScrollBar()->value() > 0);
    QVERIFY(fijas->isVisible());
    QCOMPARE(fijas->geometry().top(), vista->viewport()->geometry().top());
    QCOMPARE(fijas->rowAt(1), 0);
    QCOMPARE(fijas->rowAt(alto - 2), 1);
    QVERIFY(vista->rowAt(alto + 1) > 2);
    // Back up, the cursor stops at the first data row, shown below the fixed rows.
    QTest::keyClick(vista, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(vista, Qt::Key_Up);
    QCOMPARE(vista->currentIndex().row(), 2);
    QVERIFY(vista->visualRect(vista->currentIndex()).top() >= alto);
    // A click on the header picks its column and keeps the data row.
    QTest::mouseClick(fijas->viewport(), Qt::LeftButton, {},
                      fijas->visualRect(fijas->model()->index(0, 4)).center());
    QCOMPARE(vista->currentIndex(), vista->model()->index(2, 4));
    QCOMPARE(m.Col(), 4);
}

QTEST_MAIN(TstPaso2Ventana)
#include "tst_paso2ventana.moc"
