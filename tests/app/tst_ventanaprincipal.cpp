#include "app/ventanas/frminterno.h"
#include "app/ventanas/frmmain.h"
#include "app/ventanas/qtinteraccion.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/interaccionguionada.h"
#include "data/conexionaduana.h"
#include "data/versiones.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace tarvix;

namespace {

// Runs `accion` on the modal window that opens next.
void alAbrirModal(const std::function<void(QWidget*)>& accion) {
    QTimer::singleShot(0, [accion] {
        QWidget* w = QApplication::activeModalWidget();
        QVERIFY(w);
        accion(w);
    });
}

} // namespace

class TstVentanaPrincipal : public QObject {
    Q_OBJECT
private slots:
    void init();
    void arranqueYControles();
    void nuevoInternoConF11();
    void escEnNuevoInternoNoAgrega();
    void eliminarConDelete();
    void deshacerConCtrlZ();
    void tabulacionEnLosPasos();
    void escTerminaElPrograma();
    void enterPulsaElBotonPorDefecto();
    void primerArranque();

private:
    void abrir();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Servicios> m_srv;
    std::unique_ptr<EstadoAsistente> m_estado;
    std::unique_ptr<frmMain> m_v;
    InteraccionGuionada m_guion;
};

void TstVentanaPrincipal::init() {
    prueba::aislarConfiguracion();
    m_v.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_srv = std::make_unique<Servicios>();
    m_estado = std::make_unique<EstadoAsistente>();
    m_guion = InteraccionGuionada();
}

void TstVentanaPrincipal::abrir() {
    m_v = std::make_unique<frmMain>(*m_srv, *m_estado);
    m_srv->setInteraccion(&m_guion);
    m_v->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_v.get()));
    m_v->iniciar(m_dir->path());
    m_v->activateWindow();
}

void TstVentanaPrincipal::arranqueYControles() {
    abrir();
    QVERIFY(m_guion.avisos.isEmpty());
    QCOMPARE(m_v->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Proceso Facturas EXCEL TARVIX (QX Compatible)"));
    QCOMPARE(m_v->accessibleName(), QStringLiteral("Proceso Facturas EXCEL TARVIX (QX Compatible)"));
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbVersion")->text(),
             QStringLiteral("Versión: 1.1.20 - Generado 09/08/2018"));
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbPasoNro")->text(), QStringLiteral("Paso 1"));
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbPasoDesc")->text(),
             QStringLiteral("Seleccione el interno a procesar"));
    QCOMPARE(prueba::hijo<QStackedWidget>(*m_v, "marcos")->currentWidget(),
             prueba::hijo<QFrame>(*m_v, "FRAM1"));
    QCOMPARE(prueba::hijo<QPushButton>(*m_v, "cmdSiguiente")->text(), QStringLiteral("Siguiente >"));
    QCOMPARE(prueba::hijo<QPushButton>(*m_v, "cmdConfig")->text(), QStringLiteral("Configur."));
    QCOMPARE(prueba::hijo<QPushButton>(*m_v, "Command4")->text(), QStringLiteral("Cancelar"));
    QVERIFY(!prueba::hijo<QProgressBar>(*m_v, "Main_PrB")->isVisible());
    for (const char* nombre :
         {"FRAM1LstInternos", "FRAM2_TxtArchivo", "FRAM2_CmdProcesar", "cmdAutomatico", "FRAM3_cmdRegOk",
          "FRAM3_cmdRegErr", "FRAM3_cmdDeshacer", "FRAM3_lbTotal", "FRAM3_lbErroneos", "FRAM3_lbErrPos",
          "FRAM3_lbErrSuf", "FRAM3_lbEnCatalogo", "FRAM3_lbNuevos"}) {
        auto* w = m_v->findChild<QWidget*>(QString::fromLatin1(nombre));
        QVERIFY2(w, nombre);
        QVERIFY2(!w->accessibleName().isEmpty() || qobject_cast<QLabel*>(w), nombre);
    }
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "FRAM3_lbTotal")->text(), QStringLiteral("0000"));
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->headerItem()->text(0),
             QStringLiteral("Interno"));
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->headerItem()->text(1),
             QStringLiteral("Descripcion"));

    // "Siguiente >" with the list empty: the warning, still step 1.
    prueba::hijo<QPushButton>(*m_v, "cmdSiguiente")->click();
    QCOMPARE(m_guion.mensajes().size(), 1);
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbPasoNro")->text(), QStringLiteral("Paso 1"));
}

void TstVentanaPrincipal::nuevoInternoConF11() {
    abrir();
    prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->setFocus();
    bool visto = false;
    alAbrirModal([&](QWidget* w) {
        auto* f = qobject_cast<frmInterno*>(w);
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Nuevo Interno"));
        QTest::keyClicks(prueba::hijo<QLineEdit>(*f, "txtInterno"), QStringLiteral("24001"));
        QTest::keyClick(prueba::hijo<QLineEdit>(*f, "txtInterno"), Qt::Key_F11);
        visto = true;
    });
    QTest::keyClick(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos"), Qt::Key_Insert);
    QVERIFY(visto);
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItemCount(), 1);
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItem(0)->text(0),
             QStringLiteral("24001"));
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItem(0)->text(1),
             QStringLiteral("24001"));

    // Enter in the list advances to step 2.
    QTest::keyClick(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos"), Qt::Key_Return);
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbPasoNro")->text(), QStringLiteral("Paso 2"));
    QCOMPARE(prueba::hijo<QStackedWidget>(*m_v, "marcos")->currentWidget(),
             prueba::hijo<QFrame>(*m_v, "FRAM2"));
    QVERIFY(!prueba::hijo<QFrame>(*m_v, "FRAM1")->isEnabled());
    QVERIFY(!prueba::hijo<QPushButton>(*m_v, "cmdSiguiente")->isEnabled());
    // The interno stands in the heading (its description is its number: said once).
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbInterno")->text(), QStringLiteral("Interno 24001"));

    // Alt+A ("< Anterior") goes back to step 1, the interno still selected in the list.
    QVERIFY(prueba::hijo<QPushButton>(*m_v, "cmdAnterior")->isVisible());
    m_v->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_v.get()));
    QTest::keyClick(m_v->windowHandle(), Qt::Key_A, Qt::AltModifier);
    // A mnemonic presses its button with the click's animation.
    QTRY_COMPARE(prueba::hijo<QLabel>(*m_v, "lbPasoNro")->text(), QStringLiteral("Paso 1"));
    QVERIFY(prueba::hijo<QFrame>(*m_v, "FRAM1")->isEnabled());
    QVERIFY(!prueba::hijo<QPushButton>(*m_v, "cmdAnterior")->isVisible());
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbInterno")->text(), QString());
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->currentItem()->text(0),
             QStringLiteral("24001"));
}

void TstVentanaPrincipal::escEnNuevoInternoNoAgrega() {
    abrir();
    alAbrirModal([](QWidget* w) {
        auto* f = qobject_cast<frmInterno*>(w);
        QVERIFY(f);
        QTest::keyClicks(prueba::hijo<QLineEdit>(*f, "txtInterno"), QStringLiteral("X"));
        QTest::keyClick(prueba::hijo<QLineEdit>(*f, "txtInterno"), Qt::Key_Escape);
    });
    QTest::keyClick(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos"), Qt::Key_Insert);
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItemCount(), 0);
    QVERIFY(m_v->isVisible()); // Esc in the dialog does not end the program
}

void TstVentanaPrincipal::eliminarConDelete() {
    abrir();
    for (const char* nro : {"A", "B"}) {
        alAbrirModal([nro](QWidget* w) {
            auto* f = qobject_cast<frmInterno*>(w);
            QVERIFY(f);
            QTest::keyClicks(prueba::hijo<QLineEdit>(*f, "txtInterno"), QString::fromLatin1(nro));
            QTest::keyClick(prueba::hijo<QLineEdit>(*f, "txtDescripcion"), Qt::Key_F11);
        });
        QTest::keyClick(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos"), Qt::Key_Insert);
    }
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItemCount(), 2);
    prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")
        ->setCurrentItem(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItem(1));
    m_guion.respuestas.enqueue(Respuesta::Si);
    QTest::keyClick(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos"), Qt::Key_Delete);
    QCOMPARE(m_guion.mensajes().last().texto, QStringLiteral("Desea eliminar el Interno B?"));
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItemCount(), 1);
    QCOMPARE(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos")->topLevelItem(0)->text(0),
             QStringLiteral("A"));
}

// Step 3: Ctrl+Z puts back the lines kept before the last run and counts them again; the button
// says when there is nothing left to undo.
void TstVentanaPrincipal::deshacerConCtrlZ() {
    abrir();
    Velno::clBase& base = *m_srv->g_oBase;
    base.EjecutarDirecto(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('A', 'A')"));
    base.EjecutarDirecto(QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO) values ('A', 1, 'X1'), "
                                        "('A', 2, 'X2'), ('A', 3, 'X3')"));
    versiones::guardar(base, QStringLiteral("A"), versiones::Motivo::Proceso);
    base.EjecutarDirecto(QStringLiteral("delete from ART where ARTORD > 1"));
    m_v->asistente().principal().FRAM1_CargarInternos();
    prueba::hijo<QPushButton>(*m_v, "cmdSiguiente")->click();
    prueba::hijo<QPushButton>(*m_v, "cmdSiguiente")->click();
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbPasoNro")->text(), QStringLiteral("Paso 3"));
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "FRAM3_lbTotal")->text(), QStringLiteral("0001"));
    QTest::keyClick(m_v.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(prueba::hijo<QLabel>(*m_v, "Main_lbMensaje")
                ->text()
                .startsWith(QStringLiteral("Se deshizo el procesamiento del ")));
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "FRAM3_lbTotal")->text(), QStringLiteral("0003"));
    prueba::hijo<QPushButton>(*m_v, "FRAM3_cmdDeshacer")->click();
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "Main_lbMensaje")->text(),
             QStringLiteral("No hay cambios para deshacer en el interno A"));
    QVERIFY(m_guion.avisos.isEmpty());
}

// With the keyboard alone: each step starts on its first control, Tab leaves the grid, and the
// buttons below follow the step's controls in the order they stand.
void TstVentanaPrincipal::tabulacionEnLosPasos() {
    abrir();
    m_v->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_v.get()));
    Velno::clBase& base = *m_srv->g_oBase;
    base.EjecutarDirecto(QStringLiteral("insert into INTN (INTNRO, INTDSC) values ('A', 'A')"));
    base.EjecutarDirecto(QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO) values ('A', 1, 'X1')"));
    m_v->asistente().principal().FRAM1_CargarInternos();
    const auto foco = [] { return QApplication::focusWidget()->objectName(); };
    QCOMPARE(foco(), QStringLiteral("FRAM1LstInternos"));
    const struct {
        const char* primero;  // where the step starts
        QStringList adelante; // the focus after each Tab
        QStringList atras;    // after each Shift+Tab, from the first control again
    } pasos[] = {
        {"FRAM2_CmdProcesar",
         prueba::lista({"cmdAutomatico", "FRAM2_Grid", "cmdConfig", "Command4", "cmdAnterior", "cmdSiguiente",
                        "FRAM2_TxtArchivo", "FRAM2_CmdProcesar"}),
         prueba::lista({"FRAM2_TxtArchivo", "cmdSiguiente"})},
        {"FRAM3_cmdRegErr", prueba::lista({"FRAM3_cmdRegOk", "FRAM3_cmdDeshacer", "cmdConfig"}),
         prueba::lista({"cmdSiguiente"})},
    };
    for (const auto& p : pasos) {
        // Enter in the list, then "Siguiente >" (the interno has lines).
        if (foco() == QStringLiteral("FRAM1LstInternos"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            prueba::hijo<QPushButton>(*m_v, "cmdSiguiente")->click();
        QCOMPARE(foco(), QLatin1String(p.primero));
        for (const QString& nombre : p.adelante) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(foco(), nombre);
        }
        prueba::hijo<QWidget>(*m_v, p.primero)->setFocus();
        for (const QString& nombre : p.atras) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QCOMPARE(foco(), nombre);
        }
    }
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbPasoNro")->text(), QStringLiteral("Paso 3"));
}

void TstVentanaPrincipal::escTerminaElPrograma() {
    abrir();
    QTest::keyClick(prueba::hijo<QTreeWidget>(*m_v, "FRAM1LstInternos"), Qt::Key_Escape);
    QVERIFY(!m_v->isVisible());
}

// The real message box: Enter presses the button the logic named, else the first one.
void TstVentanaPrincipal::enterPulsaElBotonPorDefecto() {
    QWidget ventana;
    Servicios srv;
    EstadoAsistente estado;
    QtInteraccion seam(srv, estado, &ventana);
    const std::optional<Respuesta> pedidos[] = {std::nullopt, Respuesta::No, Respuesta::Cancelar};
    const Respuesta esperadas[] = {Respuesta::Si, Respuesta::No, Respuesta::Cancelar};
    for (size_t i = 0; i < std::size(pedidos); ++i) {
        QString titulo;
        alAbrirModal([&titulo](QWidget* w) {
            titulo = w->windowTitle();
            QTest::keyClick(w, Qt::Key_Return);
        });
        QCOMPARE(seam.mensaje(QStringLiteral("¿Reemplazar?"), Icono::Pregunta, Botones::SiNoCancelar,
                              QStringLiteral("Exportar"), pedidos[i]),
                 esperadas[i]);
        QCOMPARE(titulo, QStringLiteral("Exportar"));
    }
}

// A first start asks where the customs database is, then for the catalog and the unit, none chosen
// for the clerk; the demonstration database is then said in the window. A later start asks nothing.
void TstVentanaPrincipal::primerArranque() {
    m_v = std::make_unique<frmMain>(*m_srv, *m_estado);
    m_srv->setInteraccion(&m_guion);
    m_v->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_v.get()));
    QStringList vistas;
    alAbrirModal([&](QWidget* w) {
        vistas << w->objectName();
        QVERIFY(prueba::hijo<QRadioButton>(*w, "optDemostracion")->isChecked());
        QTest::keyClick(w, Qt::Key_Return);
        alAbrirModal([&](QWidget* a) {
            vistas << a->objectName();
            auto* aceptar = prueba::hijo<QPushButton>(*a, "cmdAceptar");
            auto* catalogo = prueba::hijo<QComboBox>(*a, "cboCatalogo");
            auto* unidad = prueba::hijo<QComboBox>(*a, "cboUnidad");
            QCOMPARE(catalogo->currentIndex(), -1);
            QCOMPARE(unidad->currentIndex(), -1);
            QVERIFY(!aceptar->isEnabled());
            catalogo->setCurrentIndex(0);
            QVERIFY(!aceptar->isEnabled());
            unidad->setCurrentIndex(unidad->findText(QStringLiteral("UNIDADES"), Qt::MatchContains));
            QVERIFY(aceptar->isEnabled());
            aceptar->click();
        });
    });
    m_v->iniciar(m_dir->path(), true);
    QCOMPARE(vistas, (QStringList{QStringLiteral("frmConexion"), QStringLiteral("frmAjustesIniciales")}));
    QVERIFY(!conexion::esPrimerArranque(m_dir->path()));
    QCOMPARE(configuracion::leer(QStringLiteral("INTDUN")), QStringLiteral("07"));
    QCOMPARE(m_estado->g_sINTDUN, QStringLiteral("07"));
    QVERIFY(!m_estado->g_sINTCAT.isEmpty());
    QVERIFY(prueba::hijo<QLabel>(*m_v, "lbDemostracion")->isVisible());
    QCOMPARE(prueba::hijo<QLabel>(*m_v, "lbDemostracion")->text(),
             QStringLiteral("Base aduanera de demostración"));

    // The next start finds the entity file and asks nothing.
    m_v.reset();
    *m_estado = EstadoAsistente();
    m_v = std::make_unique<frmMain>(*m_srv, *m_estado);
    m_srv->setInteraccion(&m_guion);
    m_v->show();
    m_v->iniciar(m_dir->path(), true);
    QCOMPARE(m_estado->g_iPaso, 1);
    QCOMPARE(m_estado->g_sINTDUN, QStringLiteral("07"));
}

QTEST_MAIN(TstVentanaPrincipal)
#include "tst_ventanaprincipal.moc"
