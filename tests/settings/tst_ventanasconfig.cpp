#include "app/ventanas/frmmain.h"
#include "components/clbase.h"
#include "components/configuracion.h"
#include "components/interaccionguionada.h"
#include "settings/ventanas/frmconfig.h"
#include "settings/ventanas/frmrelpais.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace tarvix;

namespace {

// Runs `accion` on the modal window that opens next; a window the action left open is closed so
// that a failing check cannot hang the run.
template <typename Ventana> void alAbrir(const std::function<void(Ventana*)>& accion, bool* visto) {
    QTimer::singleShot(0, [accion, visto] {
        auto* w = qobject_cast<Ventana*>(QApplication::activeModalWidget());
        QVERIFY(w);
        *visto = true;
        QVERIFY(QTest::qWaitForWindowActive(w));
        accion(w);
        if (w->isVisible())
            w->reject();
    });
}

QString guardado(const char* clave) {
    return configuracion::leer(QString::fromLatin1(clave), QStringLiteral("<nada>"));
}

QStringList relaciones(Velno::clBase& base) {
    QStringList r;
    Recordset rs;
    base.setSql(QStringLiteral("select PAI, ORI, ESM from ORG order by PAI"));
    base.CrearRs(rs);
    for (; !rs.Fin(); rs.MoveNext())
        r << rs.Fields(0).toString() + u'|' + rs.Fields(1).toString() + u'|' + rs.Fields(2).toString();
    return r;
}

} // namespace

class TstVentanasConfig : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void configuracionConElTeclado();
    void cajaDeCierreNoGuarda();
    void relacionesConInsertYDelete();
    void relacionPedidaPorElProceso();
    void mapeosConElTeclado();

private:
    void abrir();
    std::unique_ptr<prueba::LocaleFijo> m_locale;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Servicios> m_srv;
    std::unique_ptr<EstadoAsistente> m_estado;
    std::unique_ptr<frmMain> m_v;
    InteraccionGuionada m_guion;
};

void TstVentanasConfig::initTestCase() {
    // The test support gives this program a home of its own: other test programs running at the
    // same time never touch these settings.
    prueba::aislarConfiguracion();
    QVERIFY2(configuracion::ubicacion().startsWith(QDir::homePath()), qPrintable(configuracion::ubicacion()));
}

void TstVentanasConfig::init() {
    prueba::aislarConfiguracion();
    m_locale = std::make_unique<prueba::LocaleFijo>(QStringLiteral("es_AR"));
    m_dir = std::make_unique<QTemporaryDir>();
    m_srv = std::make_unique<Servicios>();
    m_estado = std::make_unique<EstadoAsistente>();
    m_guion = InteraccionGuionada();
}

void TstVentanasConfig::cleanup() {
    m_v.reset();
    m_locale.reset();
}

void TstVentanasConfig::abrir() {
    m_v = std::make_unique<frmMain>(*m_srv, *m_estado);
    // Messages are answered by the script; the relation window is the real one behind the seam.
    m_srv->setInteraccion(&m_guion);
    m_v->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_v.get()));
    m_v->iniciar(m_dir->path());
    m_v->activateWindow();
}

void TstVentanasConfig::configuracionConElTeclado() {
    abrir();
    bool visto = false;
    alAbrir<frmConfig>(
        [&](frmConfig* f) {
            QCOMPARE(f->windowTitle(), QStringLiteral("Configuración"));
            for (QWidget* w : std::initializer_list<QWidget*>{
                     prueba::hijo<QComboBox>(*f, "cboUnidad"), prueba::hijo<QComboBox>(*f, "cboCatalogo"),
                     prueba::hijo<QLineEdit>(*f, "txtMarca"),
                     prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio"),
                     prueba::hijo<QTreeWidget>(*f, "lstRELPAIS"), prueba::hijo<QComboBox>(*f, "cboIdUnidad"),
                     prueba::hijo<QComboBox>(*f, "cboIdCatalogo")})
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            QCOMPARE(prueba::hijo<QComboBox>(*f, "cboUnidad")->accessibleName(),
                     QStringLiteral("Unidad Declarada por Defecto"));
            QVERIFY(prueba::hijo<QComboBox>(*f, "cboUnidad")->isVisible());
            QVERIFY(!prueba::hijo<QComboBox>(*f, "cboIdUnidad")->isVisible());
            QVERIFY(!prueba::hijo<QComboBox>(*f, "cboIdCatalogo")->isVisible());
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->headerItem()->text(0),
                     QStringLiteral("Pais"));
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->headerItem()->text(1),
                     QStringLiteral("Origen"));
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->headerItem()->text(2),
                     QStringLiteral("Est Mer"));
            QVERIFY(f->findChild<QLabel*>(QStringLiteral("lbAyudaRelacion")));
            QCOMPARE(f->findChild<QLabel*>(QStringLiteral("lbAyudaCerrar"))->text(),
                     QStringLiteral("[ESC] Cerrar"));
            QCOMPARE(prueba::hijo<QComboBox>(*f, "cboUnidad")->currentText(), QStringLiteral("CENTÍMETROS"));
            QCOMPARE(prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio")->text(), QStringLiteral("0"));

            // The second unit and the second catalog, chosen with the arrow keys; the twins follow.
            QTest::keyClick(prueba::hijo<QComboBox>(*f, "cboUnidad"), Qt::Key_Down);
            QTest::keyClick(prueba::hijo<QComboBox>(*f, "cboCatalogo"), Qt::Key_Down);
            QCOMPARE(prueba::hijo<QComboBox>(*f, "cboIdUnidad")->currentText(), QStringLiteral("27"));
            QCOMPARE(prueba::hijo<QComboBox>(*f, "cboIdCatalogo")->currentText(), QStringLiteral("2"));
            QTest::keyClicks(prueba::hijo<QLineEdit>(*f, "txtMarca"), QStringLiteral("ACME"));
            prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio")->clear();
            QTest::keyClicks(prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio"), QStringLiteral("siete"));
            // Esc with a percentage that is no number: the message, nothing saved, still open.
            QTest::keyClick(prueba::hijo<QLineEdit>(*f, "txtMarca"), Qt::Key_Escape);
            QCOMPARE(m_guion.mensajes().size(), 1);
            QVERIFY(f->isVisible());
            QCOMPARE(guardado("AA_MARCA"), QStringLiteral("<nada>"));
            QCOMPARE(f->focusWidget(), prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio"));
            QCOMPARE(prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio")->selectedText(),
                     QStringLiteral("siete"));
            QTest::keyClicks(prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio"),
                             QStringLiteral("7,5")); // replaces the selected text
            QTest::keyClick(prueba::hijo<QLineEdit>(*f, "txtVariacionPrecio"), Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        },
        &visto);
    prueba::hijo<QPushButton>(*m_v, "cmdConfig")->click();
    QVERIFY(visto);
    QCOMPARE(guardado("INTDUN"), QStringLiteral("27"));
    QCOMPARE(guardado("INTCAT"), QStringLiteral("2"));
    QCOMPARE(guardado("AA_MARCA"), QStringLiteral("ACME"));
    QCOMPARE(guardado("PRECIO_UNITARIO"), QStringLiteral("7,5"));
    QCOMPARE(m_estado->g_sINTDUN, QStringLiteral("27"));
    QCOMPARE(m_estado->g_sINTCAT, QStringLiteral("2"));
    QCOMPARE(m_estado->g_sAA_MARCA, QStringLiteral("ACME"));
    QVERIFY(m_v->isVisible()); // Esc in the settings window does not end the program
}

void TstVentanasConfig::cajaDeCierreNoGuarda() {
    abrir();
    bool visto = false;
    alAbrir<frmConfig>(
        [](frmConfig* f) {
            QTest::keyClicks(prueba::hijo<QLineEdit>(*f, "txtMarca"), QStringLiteral("ACME"));
            f->close();
        },
        &visto);
    prueba::hijo<QPushButton>(*m_v, "cmdConfig")->click();
    QVERIFY(visto);
    QCOMPARE(guardado("AA_MARCA"), QStringLiteral("<nada>"));
    QCOMPARE(guardado("INTCAT"), QStringLiteral("<nada>"));
    QCOMPARE(m_estado->g_sAA_MARCA, QString());
}

void TstVentanasConfig::relacionesConInsertYDelete() {
    abrir();
    m_guion.ventanasRelacionPais.enqueue([this] { m_v->interaccion().relacionPais(); });
    bool vistoConfig = false;
    bool vistoRelacion = false;
    alAbrir<frmConfig>(
        [&](frmConfig* f) {
            prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->setFocus();
            alAbrir<frmRelPais>(
                [&](frmRelPais* r) {
                    QCOMPARE(r->windowTitle(), QStringLiteral("Establecer Pais"));
                    QCOMPARE(r->parentWidget(), f);
                    QCOMPARE(prueba::hijo<QLineEdit>(*r, "txtValor")->text(), QString());
                    QCOMPARE(prueba::hijo<QLineEdit>(*r, "txtESM")->text(), QStringLiteral("2"));
                    QVERIFY(!prueba::hijo<QComboBox>(*r, "cboidPais")->isVisible());
                    QCOMPARE(r->findChild<QLabel*>(QStringLiteral("lbAyuda"))->text(),
                             QStringLiteral("[F11] Seleccionar [ESC] Salir"));
                    for (QWidget* w : std::initializer_list<QWidget*>{prueba::hijo<QLineEdit>(*r, "txtValor"),
                                                                      prueba::hijo<QComboBox>(*r, "cboPais"),
                                                                      prueba::hijo<QLineEdit>(*r, "txtESM")})
                        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
                    QTest::keyClicks(prueba::hijo<QLineEdit>(*r, "txtValor"), QStringLiteral("D'ITALIA"));
                    prueba::hijo<QComboBox>(*r, "cboPais")
                        ->setCurrentIndex(
                            prueba::hijo<QComboBox>(*r, "cboPais")->findText(QStringLiteral("ITALIA (417)")));
                    QCOMPARE(prueba::hijo<QComboBox>(*r, "cboidPais")->currentText(), QStringLiteral("417"));
                    QTest::keyClick(prueba::hijo<QComboBox>(*r, "cboPais"), Qt::Key_F11);
                    QVERIFY(!r->isVisible());
                },
                &vistoRelacion);
            QTest::keyClick(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS"), Qt::Key_Insert);
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->topLevelItemCount(), 1);
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->topLevelItem(0)->text(0),
                     QStringLiteral("D'ITALIA"));
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->topLevelItem(0)->text(1),
                     QStringLiteral("417"));
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->topLevelItem(0)->text(2),
                     QStringLiteral("2"));

            m_guion.respuestas.enqueue(Respuesta::Si);
            QTest::keyClick(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS"), Qt::Key_Delete);
            QCOMPARE(m_guion.mensajes().last().texto,
                     QStringLiteral("Confirma eliminar la relación D'ITALIA - 417"));
            QCOMPARE(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS")->topLevelItemCount(), 0);
            QVERIFY(relaciones(*m_srv->g_oBase).isEmpty());
            QTest::keyClick(prueba::hijo<QTreeWidget>(*f, "lstRELPAIS"), Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        },
        &vistoConfig);
    prueba::hijo<QPushButton>(*m_v, "cmdConfig")->click();
    QVERIFY(vistoConfig);
    QVERIFY(vistoRelacion);
}

void TstVentanasConfig::relacionPedidaPorElProceso() {
    abrir();
    bool visto = false;
    m_estado->g_sRetorno = QStringLiteral("MADE IN CHINA");
    alAbrir<frmRelPais>(
        [](frmRelPais* r) {
            QCOMPARE(prueba::hijo<QLineEdit>(*r, "txtValor")->text(), QStringLiteral("MADE IN CHINA"));
            QTest::keyClick(prueba::hijo<QLineEdit>(*r, "txtValor"), Qt::Key_Escape);
            QVERIFY(!r->isVisible());
        },
        &visto);
    m_v->interaccion().relacionPais();
    QVERIFY(visto);
    QCOMPARE(m_estado->g_sRetorno, QString());
    QVERIFY(relaciones(*m_srv->g_oBase).isEmpty());

    visto = false;
    m_estado->g_sRetorno = QStringLiteral("MADE IN CHINA");
    alAbrir<frmRelPais>(
        [](frmRelPais* r) {
            prueba::hijo<QComboBox>(*r, "cboPais")
                ->setCurrentIndex(
                    prueba::hijo<QComboBox>(*r, "cboPais")->findText(QStringLiteral("CHINA (310)")));
            QTest::keyClick(prueba::hijo<QLineEdit>(*r, "txtESM"), Qt::Key_F11);
        },
        &visto);
    m_v->interaccion().relacionPais();
    QVERIFY(visto);
    QCOMPARE(m_estado->g_sRetorno, QStringLiteral("310"));
    QCOMPARE(m_estado->g_sRetornoESM, QStringLiteral("2"));
    QCOMPARE(relaciones(*m_srv->g_oBase), QStringList{QStringLiteral("MADE IN CHINA|310|2")});
}

// The settings of the mapping of a load as check boxes saved with Esc, and the remembered layouts
// listed with their fields by column letter and forgotten with Delete.
void TstVentanasConfig::mapeosConElTeclado() {
    abrir();
    m_srv->g_oBase->setSql(QStringLiteral(
        "insert into MAPEOS (ENCABEZADOS, ETIQUETAS) values ('code|x|qty', '[ ARTICULO ]\t\t[ CANTIDAD ]')"));
    m_srv->g_oBase->Ejecutar();
    bool visto = false;
    alAbrir<frmConfig>(
        [&](frmConfig* f) {
            auto* lista = prueba::hijo<QTreeWidget>(*f, "lstMapeos");
            QCOMPARE(lista->accessibleName(), QStringLiteral("Mapeos guardados por encabezados"));
            QCOMPARE(lista->topLevelItemCount(), 1);
            QCOMPARE(lista->topLevelItem(0)->text(0), QStringLiteral("code | x | qty"));
            QCOMPARE(lista->topLevelItem(0)->text(1), QStringLiteral("A [ ARTICULO ], C [ CANTIDAD ]"));
            auto* proponer = prueba::hijo<QCheckBox>(*f, "chkProponerCampos");
            QVERIFY(proponer->isChecked() && prueba::hijo<QCheckBox>(*f, "chkRecordarMapeos")->isChecked());
            proponer->setFocus();
            QTest::keyClick(proponer, Qt::Key_Space);
            lista->setFocus();
            m_guion.respuestas.enqueue(Respuesta::Si);
            QTest::keyClick(lista, Qt::Key_Delete);
            QCOMPARE(
                m_guion.mensajes().last().texto,
                QStringLiteral("Confirma olvidar el mapeo guardado para los encabezados code | x | qty"));
            QCOMPARE(lista->topLevelItemCount(), 0);
            QTest::keyClick(lista, Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        },
        &visto);
    prueba::hijo<QPushButton>(*m_v, "cmdConfig")->click();
    QVERIFY(visto);
    QCOMPARE(guardado(kProponerCampos), QStringLiteral("0"));
    QCOMPARE(guardado(kRecordarMapeos), QStringLiteral("1"));
    QVERIFY(disposiciones::todas(*m_srv->g_oBase).empty());
}

QTEST_MAIN(TstVentanasConfig)
#include "tst_ventanasconfig.moc"
