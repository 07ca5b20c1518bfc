#include "controls/ventanas/clcntrl.h"
#include "entorno.h"
#include "review/ventanas/frmcargasufijos.h"
#include "review/ventanas/frmmodificar.h"
#include "review/ventanas/frmposicion.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

using namespace tarvix;

namespace {

// Runs `accion` on the modal window that opens next, once it is active. A failed check closes the
// window, so the test does not wait on it.
template <typename Ventana> void alAbrir(const std::function<void(Ventana*)>& accion) {
    QTimer::singleShot(0, [accion] {
        QPointer<Ventana> v = qobject_cast<Ventana*>(QApplication::activeModalWidget());
        QVERIFY(v);
        v->activateWindow();
        if (QTest::qWaitForWindowActive(v) &&
            QTest::qWaitFor([&v] { return QApplication::activeWindow() == v; }))
            accion(v);
        else
            QTest::qFail("La ventana no se activó", __FILE__, __LINE__);
        if (v && QTest::currentTestFailed())
            v->reject();
    });
}

QString foco() {
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

QString rotulo(QWidget* v, const char* nombre) {
    auto* l = v->findChild<QLabel*>(QString::fromLatin1(nombre));
    return l ? l->text() : QStringLiteral("<falta>");
}

} // namespace

class TstFrmModificar : public QObject {
    Q_OBJECT
private slots:
    void controlesTabuladorYF11();
    void escNoGraba();
    void enterVerificaLaPosicion();
    void f6AbreLaBusqueda();
    void busquedaCancelada();
    void elegirOpcion();
};

void TstFrmModificar::controlesTabuladorYF11() {
    Entorno e;
    e.lineaValida(3);
    bool visto = false;
    alAbrir<frmModificar>([&](frmModificar* f) {
        visto = true;
        QCOMPARE(f->windowTitle(), QStringLiteral("Modificar"));
        QCOMPARE(f->txtARTNRO->text(), QStringLiteral("CAND40"));
        QVERIFY(!f->txtARTNRO->isEnabled() && !f->txtARTDSC->isEnabled() && !f->txtARTTOT->isEnabled());
        QCOMPARE(f->txtPRCNCM->text(), QStringLiteral("8301.10.00.000P"));
        QCOMPARE(rotulo(f, "lbPRCEUN"), QStringLiteral("Unidad Estadistica [07]"));
        QVERIFY(!f->txtPRCSCA->isVisible() && !f->lbPRCSUN->isVisible() && !f->lbPRCLAP->isVisible());
        QVERIFY(!f->cboidPRCORI->isVisible());
        for (QWidget* w : f->findChildren<QWidget*>())
            if (w->objectName().startsWith(QStringLiteral("txt")) ||
                w->objectName().startsWith(QStringLiteral("cbo")))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        QCOMPARE(f->cboPRCORI->currentText(), QStringLiteral("CHINA"));
        QCOMPARE(rotulo(f, "lbPRCDUN"), QStringLiteral("Unidad Declarada  "));
        // The declared unit's name beside its code, and the units offered by code ("07 UNIDADES"),
        // the code alone going into the box.
        QCOMPARE(f->txtPRCDUN->text(), QStringLiteral("07"));
        QCOMPARE(rotulo(f, "lbNombreUnidad"), QStringLiteral("UNIDADES"));
        QCompleter* unidades = f->txtPRCDUN->completer();
        QVERIFY(unidades);
        unidades->setCompletionPrefix(QStringLiteral("07"));
        QCOMPARE(unidades->completionModel()->index(0, 0).data().toString(), QStringLiteral("07 UNIDADES"));
        QCOMPARE(unidades->currentCompletion(), QStringLiteral("07"));
        QCOMPARE(rotulo(f, "lbAyuda"), QStringLiteral("[F11] Guardar -  [ESC]  Salir"));
        QCOMPARE(f->findChild<QGroupBox*>(QStringLiteral("fraOrigen"))->title(),
                 QStringLiteral("Datos del archivo origen"));
        QCOMPARE(f->findChild<QGroupBox*>(QStringLiteral("fraExtra"))->title(),
                 QStringLiteral("Datos Extra"));
        QCOMPARE(f->lbMarca->text(), QStringLiteral("ACME"));
        // The position box has the focus, coloured by the controller.
        QCOMPARE(foco(), QStringLiteral("txtPRCNCM"));
        QCOMPARE(f->txtPRCNCM->palette().color(QPalette::Base), QColor(192, 255, 192));
        // Tab order of the edited fields (the hidden specific quantity is skipped).
        QStringList orden{foco()};
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            orden << foco();
        }
        QCOMPARE(orden, (QStringList{QStringLiteral("txtPRCNCM"), QStringLiteral("txtPRCDUN"),
                                     QStringLiteral("txtPRCCAN"), QStringLiteral("txtPRCECA"),
                                     QStringLiteral("txtPRCESM"), QStringLiteral("cboPRCORI"),
                                     QStringLiteral("txtPRCSUF"), QStringLiteral("txtDescripcionMaria")}));
        // Enter moves on in the other boxes.
        f->txtPRCDUN->setFocus();
        QTest::keyClick(f->txtPRCDUN, Qt::Key_Return);
        QCOMPARE(foco(), QStringLiteral("txtPRCCAN"));
        // A refusal keeps the window open with the user's input.
        f->txtPRCDUN->setText(QString());
        QCOMPARE(rotulo(f, "lbNombreUnidad"), QString());
        QTest::keyClick(f->txtPRCCAN, Qt::Key_F11);
        QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Falta ingresar unidad declarada")});
        QVERIFY(f->isVisible());
        f->txtPRCDUN->setText(QStringLiteral("07"));
        f->txtPRCCAN->setText(QStringLiteral("9"));
        f->txtPRCECA->setText(QStringLiteral("9"));
        f->txtDescripcionMaria->setPlainText(QStringLiteral("Nuevo texto"));
        QTest::keyClick(f->txtDescripcionMaria, Qt::Key_F11);
    });
    QVERIFY(abrirEditor(e.srv, e.estado, nullptr, 3));
    QVERIFY(visto);
    QCOMPARE(e.estado.g_sRetorno, QStringLiteral("OK"));
    QCOMPARE(e.leer(3, QStringLiteral("PRCEST")).toString(), QStringLiteral("M"));
    QCOMPARE(e.leer(3, QStringLiteral("PRCCRC")).toString(), QStringLiteral("OK"));
    QCOMPARE(e.leer(3, QStringLiteral("PRCCAN")).toDouble(), 9.0);
    QCOMPARE(e.leer(3, QStringLiteral("PRCDUN")).toString(), QStringLiteral("07"));
    QCOMPARE(e.leer(3, QStringLiteral("ARTDSCMARIA")).toString(), QStringLiteral("Nuevo texto"));
}

void TstFrmModificar::escNoGraba() {
    Entorno e;
    e.lineaValida(1);
    e.estado.g_sRetorno = QStringLiteral("OK"); // stale: the editor clears it before opening
    alAbrir<frmModificar>([](frmModificar* f) {
        f->txtPRCDUN->setText(QStringLiteral("01"));
        QTest::keyClick(f->txtPRCDUN, Qt::Key_Escape);
    });
    QVERIFY(!abrirEditor(e.srv, e.estado, nullptr, 1));
    QCOMPARE(e.leer(1, QStringLiteral("PRCDUN")).toString(), QStringLiteral("07"));
    QCOMPARE(e.leer(1, QStringLiteral("PRCEST")).toString(), QStringLiteral("E"));
}

void TstFrmModificar::enterVerificaLaPosicion() {
    Entorno e;
    e.lineaValida(2);
    e.ejecutar(QStringLiteral("update ART set PRCNCM = NULL, PRCSUF = NULL, PRCEUN = NULL where ARTORD = 2"));
    e.guion.entradas.enqueue(QStringLiteral("lacoste"));
    e.guion.opciones.enqueue(1);
    alAbrir<frmModificar>([&](frmModificar* f) {
        QCOMPARE(f->txtPRCNCM->text(), QString());
        QTest::keyClicks(f->txtPRCNCM, QStringLiteral("6109,10,00,000X"));
        QTest::keyClick(f->txtPRCNCM, Qt::Key_Return);
        // The commas become the dots of the position the check found, and F11 saves that.
        QCOMPARE(f->txtPRCNCM->text(), QStringLiteral("6109.10.00.000X"));
        QCOMPARE(foco(), QStringLiteral("txtPRCNCM"));
        QCOMPARE(f->txtPRCSUF->text(), QStringLiteral("AA(LACOSTE)-BB01-"));
        QVERIFY(f->txtPRCSCA->isVisible() && f->lbPRCLAP->isVisible());
        QTest::keyClick(f->txtPRCNCM, Qt::Key_F11);
    });
    QVERIFY(abrirEditor(e.srv, e.estado, nullptr, 2));
    QCOMPARE(e.leer(2, QStringLiteral("PRCNCM")).toString(), QStringLiteral("6109.10.00.000X"));
    QCOMPARE(e.leer(2, QStringLiteral("PRCSUN")).toString(), QStringLiteral("07"));
    QCOMPARE(e.leer(2, QStringLiteral("PRCSCA")).toDouble(), 10.0);
}

void TstFrmModificar::f6AbreLaBusqueda() {
    Entorno e;
    e.lineaValida(1);
    e.ejecutar(QStringLiteral("update ART set PRCNCM = '8467.2' where ARTORD = 1"));
    alAbrir<frmModificar>([&](frmModificar* f) {
        alAbrir<FrmPosicion>([&](FrmPosicion* b) {
            QCOMPARE(b->windowTitle(), QStringLiteral("Buscar Posición"));
            QCOMPARE(prueba::hijo<QLineEdit>(*b, "TxtNCMF")->text(), QStringLiteral("8467.2"));
            // The first search ran by itself.
            QCOMPARE(prueba::hijo<QListWidget>(*b, "LstNCM")->count(), 3);
            QCOMPARE(prueba::hijo<QListWidget>(*b, "LstNCM")->currentRow(), 0);
            QCOMPARE(foco(), QStringLiteral("LstNCM"));
            QVERIFY(prueba::hijo<QPlainTextEdit>(*b, "LbDescripcion")->toPlainText().isEmpty());
            QTest::keyClick(prueba::hijo<QListWidget>(*b, "LstNCM"), Qt::Key_Down);
            QVERIFY(prueba::hijo<QPlainTextEdit>(*b, "LbDescripcion")
                        ->toPlainText()
                        .startsWith(QStringLiteral("Sierras y tronzadoras")));
            QVERIFY(prueba::hijo<QListWidget>(*b, "LstSufijos")->count() >= 4);
            QCOMPARE(prueba::hijo<QListWidget>(*b, "LstSufijos")->item(0)->text().left(5),
                     QStringLiteral("AA   "));
            // A new search from the text box.
            prueba::hijo<QLineEdit>(*b, "TxtNCMF")->setFocus();
            prueba::hijo<QLineEdit>(*b, "TxtNCMF")->setText(QStringLiteral("8301"));
            QTest::keyClick(prueba::hijo<QLineEdit>(*b, "TxtNCMF"), Qt::Key_Return);
            QCOMPARE(prueba::hijo<QListWidget>(*b, "LstNCM")->count(), 2);
            QCOMPARE(foco(), QStringLiteral("LstNCM"));
            QTest::keyClick(prueba::hijo<QListWidget>(*b, "LstNCM"), Qt::Key_Down);
            QTest::keyClick(prueba::hijo<QListWidget>(*b, "LstNCM"), Qt::Key_Return);
        });
        QTest::keyClick(f->txtPRCNCM, Qt::Key_F6);
        QCOMPARE(f->txtPRCNCM->text(), QStringLiteral("8301.40.00.000J"));
        // Choosing does not check: the unit caption is the loaded one.
        QCOMPARE(f->lbPRCEUN->text(), QStringLiteral("Unidad Estadistica [07]"));
        QVERIFY(e.mensajes().isEmpty());
        // A short text and Enter open the lookup too.
        f->txtPRCNCM->setText(QStringLiteral("9999"));
        alAbrir<FrmPosicion>([&](FrmPosicion* b) {
            QCOMPARE(e.mensajes(), QStringList{QStringLiteral("Posición no encontrada.")});
            QCOMPARE(prueba::hijo<QListWidget>(*b, "LstNCM")->count(), 0);
            QTest::keyClick(prueba::hijo<QLineEdit>(*b, "TxtNCMF"), Qt::Key_Escape);
        });
        QTest::keyClick(f->txtPRCNCM, Qt::Key_Return);
        QCOMPARE(f->txtPRCNCM->text(), QStringLiteral("9999"));
        QVERIFY(f->isVisible());
        QTest::keyClick(f->txtPRCNCM, Qt::Key_Escape);
    });
    QVERIFY(!abrirEditor(e.srv, e.estado, nullptr, 1));
}

void TstFrmModificar::busquedaCancelada() {
    Entorno e;
    FrmPosicion b(e.srv, e.estado);
    prueba::hijo<QLineEdit>(b, "TxtNCMF")->setText(QStringLiteral("8467"));
    QTimer::singleShot(0, [&b] {
        QVERIFY(prueba::hijo<QListWidget>(b, "LstNCM")->count() > 0);
        QTest::keyClick(prueba::hijo<QListWidget>(b, "LstNCM"), Qt::Key_C, Qt::ControlModifier);
    });
    b.exec();
    QCOMPARE(b.elegida(), QString());
    QVERIFY(!b.logica().buscado);
}

void TstFrmModificar::elegirOpcion() {
    const QStringList lineas{QStringLiteral("AH00 - Ninguna opción"),
                             QStringLiteral("AH01 - ELÉCTRICA CON CABLE"),
                             QStringLiteral("AH02 - A BATERÍA RECARGABLE")};
    alAbrir<FrmCargaSufijos>([&](FrmCargaSufijos* v) {
        QCOMPARE(v->windowTitle(), QStringLiteral("Carga de Sufijos"));
        QCOMPARE(prueba::hijo<QGroupBox>(*v, "FrmList")->title(), QStringLiteral("Selecione una Opción"));
        QCOMPARE(prueba::hijo<QListWidget>(*v, "LstOpcion")->currentRow(), 2);
        QTest::keyClick(prueba::hijo<QListWidget>(*v, "LstOpcion"), Qt::Key_Return);
    });
    QCOMPARE(elegirOpcionSufijo(nullptr, QStringLiteral("Carga de Sufijos"), lineas, 2), 2);
    // Nothing proposed: the first line is selected when the window shows.
    alAbrir<FrmCargaSufijos>([](FrmCargaSufijos* v) {
        QCOMPARE(prueba::hijo<QListWidget>(*v, "LstOpcion")->currentRow(), 0);
        QTest::keyClick(prueba::hijo<QListWidget>(*v, "LstOpcion"), Qt::Key_Enter, Qt::KeypadModifier);
    });
    QCOMPARE(elegirOpcionSufijo(nullptr, QString(), lineas, -1), 0);
    alAbrir<FrmCargaSufijos>([](FrmCargaSufijos* v) {
        QTest::keyClick(prueba::hijo<QListWidget>(*v, "LstOpcion"), Qt::Key_Escape);
    });
    QCOMPARE(elegirOpcionSufijo(nullptr, QString(), lineas, 1), -1);
    alAbrir<FrmCargaSufijos>([](FrmCargaSufijos* v) {
        const QRect r = prueba::hijo<QListWidget>(*v, "LstOpcion")
                            ->visualItemRect(prueba::hijo<QListWidget>(*v, "LstOpcion")->item(1));
        QTest::mouseClick(prueba::hijo<QListWidget>(*v, "LstOpcion")->viewport(), Qt::LeftButton,
                          Qt::NoModifier, r.center());
        QTest::mouseDClick(prueba::hijo<QListWidget>(*v, "LstOpcion")->viewport(), Qt::LeftButton,
                           Qt::NoModifier, r.center());
    });
    QCOMPARE(elegirOpcionSufijo(nullptr, QString(), lineas, 0), 1);
}

QTEST_MAIN(TstFrmModificar)
#include "tst_frmmodificar.moc"
