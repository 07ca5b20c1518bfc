#include "components/clbase.h"
#include "components/interaccionguionada.h"
#include "intake/carga/frmcampos.h"
#include "intake/carga/instalarpaso2.h"
#include "intake/carga/paso2.h"
#include "intake/carga/vistagrilla.h"
#include "testsupport.h"
#include "ui/frmmain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarvix;

namespace {

// Runs `accion` on the field chooser that opens next.
void alAbrirCampos(const std::function<void(frmCampos*)>& accion) {
    QTimer::singleShot(0, [accion] {
        auto* f = qobject_cast<frmCampos*>(QApplication::activeModalWidget());
        QVERIFY(f);
        accion(f);
    });
}

} // namespace

class TstPaso2Ventana : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void cargarMapearYVerificar();
    void filasFijasYCeldaActualALaVista();

private:
    void abrirEnPaso2();
    std::unique_ptr<prueba::LocaleFijo> m_locale;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Globales> m_g;
    std::unique_ptr<frmMain> m_v;
    InteraccionGuionada m_guion;
    ControladorPaso2* m_paso = nullptr;
    VistaGrilla* m_vista = nullptr;
};

void TstPaso2Ventana::init() {
    prueba::aislarConfiguracion();
    m_locale = std::make_unique<prueba::LocaleFijo>(QStringLiteral("es_AR"));
    m_dir = std::make_unique<QTemporaryDir>();
    m_g = std::make_unique<Globales>();
    m_guion = InteraccionGuionada();
}

void TstPaso2Ventana::cleanup() {
    m_v.reset();
    m_locale.reset();
}

// The window at step 2 with the example invoice loaded through "Procesar".
void TstPaso2Ventana::abrirEnPaso2() {
    m_v = std::make_unique<frmMain>(*m_g);
    m_paso = instalarPaso2(*m_v, *m_g);
    m_g->interaccion = &m_guion;
    // The chooser opens as the program opens it.
    m_guion.ventanasCampo.enqueue([this] { m_v->interaccion().ventanaCampo(); });
    m_guion.ventanasCampo.enqueue([this] { m_v->interaccion().ventanaCampo(); });
    m_guion.ventanasCampo.enqueue([this] { m_v->interaccion().ventanaCampo(); });
    m_v->resize(900, 480);
    m_v->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_v.get()));
    m_v->iniciar(m_dir->path());
    m_g->g_oBase->setSql(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('T-1', 'Prueba')"));
    m_g->g_oBase->Ejecutar();
    m_v->controlador().FRAM1_CargarInternos();
    m_v->cmdSiguiente->click();
    QCOMPARE(m_v->marcos->currentWidget(), m_v->FRAM2);
    QVERIFY(!m_v->cmdSiguiente->isEnabled());

    m_vista = m_v->findChild<VistaGrilla*>(QStringLiteral("FRAM2_Grid"));
    QVERIFY(m_vista);
    QCOMPARE(m_vista->accessibleName(), QStringLiteral("Planilla de la factura"));
    const QString ruta = QStringLiteral(TARVIX_SOURCE_DIR "/examples/factura-ejemplo.xlsx");
    m_guion.archivos.enqueue(ruta);
    QTest::mouseClick(m_v->FRAM2_CmdProcesar, Qt::LeftButton);
    QVERIFY2(m_guion.mensajes().isEmpty(), qPrintable(m_guion.mensajes().value(0).texto));
    QCOMPARE(m_v->FRAM2_TxtArchivo->text(), ruta);
    QVERIFY(m_v->cmdSiguiente->isEnabled());
    QCOMPARE(m_vista->model()->rowCount(), 16);
    QCOMPARE(m_vista->model()->columnCount(), 24);
    QCOMPARE(m_vista->model()->index(0, 22).data().toString(), QStringLiteral("CUSTOMER CODE"));
    QCOMPARE(m_vista->model()->index(1, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    QCOMPARE(m_vista->currentIndex(), m_vista->model()->index(2, 0));
}

void TstPaso2Ventana::cargarMapearYVerificar() {
    abrirEnPaso2();
    ModeloGrilla& m = m_paso->grilla();

    // "Selección automatica", then "Siguiente >": the description is still missing.
    QTest::mouseClick(m_v->cmdAutomatico, Qt::LeftButton);
    QCOMPARE(m.TextMatrix(1, 22), QStringLiteral("[ ARTICULO ]"));
    // The columns widen to show their labels whole, in both views.
    QFont negrita = m_vista->font();
    negrita.setBold(true);
    QVERIFY(m_vista->columnWidth(4) >
            QFontMetrics(negrita).horizontalAdvance(QStringLiteral("[ CANTIDAD ]")));
    QCOMPARE(m_vista->filasFijas()->columnWidth(4), m_vista->columnWidth(4));
    m_v->cmdSiguiente->click();
    QCOMPARE(m_guion.mensajes().last().texto, QStringLiteral("Falta establecer el campo DESCRIPCION"));
    QCOMPARE(m_v->marcos->currentWidget(), m_v->FRAM2);

    // F1 on column B: the chooser opens on "< ninguno >"; two steps down and Enter.
    m_vista->setFocus();
    QTest::keyClick(m_vista, Qt::Key_Right);
    alAbrirCampos([](frmCampos* f) {
        QCOMPARE(f->windowTitle(), QStringLiteral("Establecer Campo"));
        QCOMPARE(f->cboCampos->count(), 14);
        QCOMPARE(f->cboCampos->currentText(), QStringLiteral("< ninguno >"));
        QTest::keyClick(f->cboCampos, Qt::Key_Down);
        QTest::keyClick(f->cboCampos, Qt::Key_Down);
        QTest::keyClick(f->cboCampos, Qt::Key_Return);
    });
    QTest::keyClick(m_vista, Qt::Key_F1);
    QCOMPARE(m.TextMatrix(1, 1), QStringLiteral("[ DESCRIPC ]"));

    // F1 and Esc, with the list open: nothing changes and the program goes on.
    alAbrirCampos([](frmCampos* f) {
        QTest::keyClick(f->cboCampos, Qt::Key_Down);
        f->cboCampos->showPopup();
        QTest::keyClick(f->cboCampos->view(), Qt::Key_Escape);
    });
    QTest::keyClick(m_vista, Qt::Key_F1);
    QCOMPARE(m.TextMatrix(1, 1), QStringLiteral("[ DESCRIPC ]"));
    QVERIFY(m_v->isVisible());

    // Enter in the open list takes the highlighted label: "< ninguno >" clears the column.
    alAbrirCampos([](frmCampos* f) {
        f->cboCampos->setCurrentIndex(5);
        f->cboCampos->showPopup();
        QAbstractItemView* lista = f->cboCampos->view();
        lista->setCurrentIndex(lista->model()->index(0, 0));
        QTest::keyClick(lista, Qt::Key_Return);
    });
    QTest::keyClick(m_vista, Qt::Key_F1);
    QCOMPARE(m.TextMatrix(1, 1), QString());
    QCOMPARE(m_vista->currentIndex().row(), 2); // the view stays on its data row
}

void TstPaso2Ventana::filasFijasYCeldaActualALaVista() {
    abrirEnPaso2();
    QTableView* fijas = m_vista->filasFijas();
    const int alto = m_vista->alturaFijas();
    QVERIFY(alto > 0);
    QVERIFY2(m_vista->verticalScrollBar()->maximum() > 0, "the grid should need scrolling");

    m_vista->setFocus();
    QTest::keyClick(m_vista, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(m_vista->currentIndex().row(), 15);
    QVERIFY(m_vista->verticalScrollBar()->value() > 0);
    // The header and the field row are still on top; under them the data scrolled on.
    QVERIFY(fijas->isVisible());
    QCOMPARE(fijas->geometry().top(), m_vista->viewport()->geometry().top());
    QCOMPARE(fijas->rowAt(1), 0);
    QCOMPARE(fijas->rowAt(alto - 2), 1);
    QVERIFY(m_vista->rowAt(alto + 1) > 2);
    QVERIFY(m_vista->visualRect(m_vista->currentIndex()).bottom() <= m_vista->viewport()->height());

    // Back up: the cursor stops at the first data row, shown below the fixed rows.
    QTest::keyClick(m_vista, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(m_vista, Qt::Key_Up);
    QCOMPARE(m_vista->currentIndex().row(), 2);
    QVERIFY(m_vista->visualRect(m_vista->currentIndex()).top() >= alto);
    QCOMPARE(m_paso->grilla().Row(), 2);

    // A row in the middle scrolled under the fixed rows comes back into sight when chosen.
    m_vista->verticalScrollBar()->setValue(m_vista->verticalScrollBar()->maximum());
    m_vista->setCurrentIndex(m_vista->model()->index(6, 2));
    QVERIFY(m_vista->visualRect(m_vista->currentIndex()).top() >= alto);

    // A click on the header picks the column and keeps the data row.
    const QRect celda = fijas->visualRect(fijas->model()->index(0, 4));
    QTest::mouseClick(fijas->viewport(), Qt::LeftButton, {}, celda.center());
    QCOMPARE(m_vista->currentIndex(), m_vista->model()->index(6, 4));
    QCOMPARE(m_paso->grilla().Col(), 4);
}

QTEST_MAIN(TstPaso2Ventana)
#include "tst_paso2ventana.moc"
