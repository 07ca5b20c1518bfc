#include "programalista.h"
#include "review/lista/frmdep.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

using namespace tarvix;
using prueba::ProgramaLista;

namespace {

QStringList textos(const QTreeWidget* lista) {
    QStringList r;
    for (int i = 0; i < lista->topLevelItemCount(); ++i)
        r << lista->topLevelItem(i)->text(0);
    return r;
}

} // namespace

class TstFrmDEP : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void ventanaCompartidaYColumnas();
    void enterYDobleClicAbrenElEditor();
    void menuYTamano();

private:
    std::unique_ptr<ProgramaLista> m_p;
    std::unique_ptr<QWidget> m_principal;
    QList<int> m_abiertos;
    bool m_guardar = true;
    bool editar(int artord);
    frmDEP* abrir(int modo);
};

void TstFrmDEP::init() {
    m_p = std::make_unique<ProgramaLista>();
    m_principal = std::make_unique<QWidget>();
    m_abiertos.clear();
    m_guardar = true;
    m_p->linea(QStringLiteral("100"), 1, QStringLiteral("'A'"), QStringLiteral("'OK'"));
    m_p->linea(QStringLiteral("100"), 2, QStringLiteral("NULL"), QStringLiteral("NULL"));
    m_p->linea(QStringLiteral("100"), 7, QStringLiteral("'E'"), QStringLiteral("'POS'"));
    m_p->linea(QStringLiteral("100"), 9, QStringLiteral("'U'"), QStringLiteral("'SUF'"));
}

void TstFrmDEP::cleanup() {
    m_principal.reset(); // takes the review window with it
    QVERIFY(!ventanaRevision());
    m_p.reset();
}

// The editor: a saving edit marks the line corrected.
bool TstFrmDEP::editar(int artord) {
    m_abiertos << artord;
    if (!m_guardar)
        return false;
    m_p->ejecutar(QStringLiteral("update ART set PRCEST = 'M', PRCCRC = 'OK' where ARTORD = ") +
                  QString::number(artord));
    m_p->g.g_sRetorno = QStringLiteral("OK");
    return true;
}

frmDEP* TstFrmDEP::abrir(int modo) {
    m_p->g.g_iModoLista = modo;
    mostrarRevision(m_p->g, m_principal.get(), [this](int artord) { return editar(artord); });
    frmDEP* v = ventanaRevision();
    if (v && !QTest::qWaitForWindowExposed(v))
        return nullptr;
    return v;
}

void TstFrmDEP::ventanaCompartidaYColumnas() {
    frmDEP* v = abrir(1);
    QVERIFY(v);
    QCOMPARE(v->windowTitle(), QStringLiteral("Resultados"));
    QVERIFY(!v->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(v->lstDEP->columnCount(), 11);
    QCOMPARE(v->lstDEP->headerItem()->text(0), QStringLiteral("Orden"));
    QCOMPARE(v->lstDEP->headerItem()->text(7), QStringLiteral("Posición"));
    QCOMPARE(v->lstDEP->headerItem()->text(10), QStringLiteral("Obs"));
    QVERIFY(!v->lstDEP->accessibleName().isEmpty());
    QCOMPARE(textos(v->lstDEP),
             (QStringList{QStringLiteral("0002"), QStringLiteral("0007"), QStringLiteral("0009")}));
    const QTreeWidgetItem* nuevo = v->lstDEP->topLevelItem(0);
    QCOMPARE(nuevo->text(1), QStringLiteral("N2"));
    for (int c = 0; c < 11; ++c)
        QCOMPARE(nuevo->foreground(c).color(), QColor(128, 0, 0));
    QCOMPARE(v->lstDEP->topLevelItem(1)->foreground(10).color(), QColor(0, 0, 128));
    QCOMPARE(v->lstDEP->topLevelItem(2)->foreground(0).color(), QColor(0, 0, 192));

    // The other button of step 3 only brings the same window to the front.
    QCOMPARE(abrir(2), v);
    QCOMPARE(textos(v->lstDEP),
             (QStringList{QStringLiteral("0002"), QStringLiteral("0007"), QStringLiteral("0009")}));

    // Closing unloads it; the next opening loads the list of the mode then set.
    v->close();
    QTRY_VERIFY(!ventanaRevision());
    frmDEP* otra = abrir(2);
    QVERIFY(otra);
    QCOMPARE(textos(otra->lstDEP), QStringList{QStringLiteral("0001")});
    QCOMPARE(otra->lstDEP->topLevelItem(0)->foreground(0).style(), Qt::NoBrush); // default colour
}

void TstFrmDEP::enterYDobleClicAbrenElEditor() {
    frmDEP* v = abrir(1);
    QVERIFY(v);
    v->lstDEP->setFocus();
    QCOMPARE(v->lstDEP->currentItem(), v->lstDEP->topLevelItem(0));

    // Closing the editor without saving leaves the list as it was.
    m_guardar = false;
    QTest::keyClick(v->lstDEP, Qt::Key_Down);
    QTest::keyClick(v->lstDEP, Qt::Key_Return);
    QCOMPARE(m_abiertos, QList<int>{7});
    QCOMPARE(textos(v->lstDEP).size(), 3);

    // Enter (either key) saves: the line leaves the list; the cursor stays on the row, now the next line.
    m_guardar = true;
    QTest::keyClick(v->lstDEP, Qt::Key_Enter);
    QCOMPARE(m_abiertos, (QList<int>{7, 7}));
    QCOMPARE(textos(v->lstDEP), (QStringList{QStringLiteral("0002"), QStringLiteral("0009")}));
    QCOMPARE(v->lstDEP->currentItem()->text(0), QStringLiteral("0009"));

    // A double-click does the same on the line under the pointer.
    QTreeWidgetItem* primero = v->lstDEP->topLevelItem(0);
    const QPoint punto = v->lstDEP->visualItemRect(primero).center();
    QTest::mouseClick(v->lstDEP->viewport(), Qt::LeftButton, {}, punto);
    QTest::mouseDClick(v->lstDEP->viewport(), Qt::LeftButton, {}, punto);
    QCOMPARE(m_abiertos, (QList<int>{7, 7, 2}));
    QCOMPARE(textos(v->lstDEP), QStringList{QStringLiteral("0009")});
}

void TstFrmDEP::menuYTamano() {
    frmDEP* v = abrir(2);
    QVERIFY(v);
    QCOMPARE(v->mnu_expoExcel->text(), QStringLiteral("Exportar a Excel"));
    v->mnu_expoExcel->trigger();
    QCOMPARE(m_p->guion.avisos.size(), 2);
    QCOMPARE(m_p->guion.avisos[0].tipo, InteraccionGuionada::Aviso::Tipo::Guardar);
    QCOMPARE(m_p->guion.avisos[1].texto, QStringLiteral("Generacion de archivo cancelado!"));

    v->resize(700, 400);
    QWidget* interior = v->lstDEP->parentWidget();
    QTRY_COMPARE(v->lstDEP->geometry(), QRect(3, 3, interior->width() - 6, interior->height() - 6));
}

QTEST_MAIN(TstFrmDEP)
#include "tst_frmdep.moc"
