#include "programalista.h"
#include "review/lista/frmdep.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

using namespace tarvix;

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
    void ventanaCompartida();
    void enterYDobleClicAbrenElEditor();
    void menuYTamano();

private:
    frmDEP* abrir(int modo);
    std::unique_ptr<prueba::ProgramaLista> m_p;
    std::unique_ptr<QWidget> m_principal;
    QList<int> m_abiertos;
    bool m_guardar = true;
};

void TstFrmDEP::init() {
    m_p = std::make_unique<prueba::ProgramaLista>();
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

// Shows the window with an editor whose saving edit marks the line corrected.
frmDEP* TstFrmDEP::abrir(int modo) {
    m_p->g.g_iModoLista = modo;
    mostrarRevision(m_p->g, m_principal.get(), [this](int artord) {
        m_abiertos << artord;
        if (m_guardar) {
            m_p->ejecutar(
                QStringLiteral("update ART set PRCEST = 'M', PRCCRC = 'OK' where ARTORD = %1").arg(artord));
            m_p->g.g_sRetorno = QStringLiteral("OK");
        }
        return m_guardar;
    });
    frmDEP* v = ventanaRevision();
    return v && QTest::qWaitForWindowExposed(v) ? v : nullptr;
}

void TstFrmDEP::ventanaCompartida() {
    frmDEP* v = abrir(1);
    QVERIFY(v);
    QCOMPARE(v->windowTitle(), QStringLiteral("Resultados"));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(v->lstDEP->columnCount(), 11);
    QCOMPARE(v->lstDEP->headerItem()->text(7), QStringLiteral("Posición"));
    QVERIFY(!v->lstDEP->accessibleName().isEmpty());
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0002 0007 0009"));
    QCOMPARE(v->lstDEP->topLevelItem(0)->text(1), QStringLiteral("N2"));
    for (int c = 0; c < 11; ++c)
        QCOMPARE(v->lstDEP->topLevelItem(0)->foreground(c).color(), QColor(128, 0, 0));
    QCOMPARE(v->lstDEP->topLevelItem(2)->foreground(10).color(), QColor(0, 0, 192));

    // The other button of step 3 only brings the same window to the front.
    QCOMPARE(abrir(2), v);
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0002 0007 0009"));

    // It opens within the screen, each column as wide as its title at least, "Obs" in sight.
    QVERIFY(v->screen()->availableGeometry().contains(v->frameGeometry()));
    QHeaderView* h = v->lstDEP->header();
    for (int c = 0; c < 11; ++c)
        QVERIFY2(h->sectionSize(c) >= h->sectionSizeHint(c), qPrintable(h->model()->headerData(c, Qt::Horizontal).toString()));
    QTRY_VERIFY(h->sectionViewportPosition(10) + h->sectionSize(10) <= v->lstDEP->viewport()->width());

    // Esc closes and unloads it; the next opening loads the list of the mode then set.
    QTest::keyClick(v->lstDEP, Qt::Key_Escape);
    QTRY_VERIFY(!ventanaRevision());
    v = abrir(2);
    QVERIFY(v);
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0001"));
    QCOMPARE(v->lstDEP->topLevelItem(0)->foreground(0).style(), Qt::NoBrush); // default colour
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
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0002 0007 0009"));

    // Enter (either key) and a save: the line leaves; the cursor stays on the row, now the next line.
    m_guardar = true;
    QTest::keyClick(v->lstDEP, Qt::Key_Enter);
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0002 0009"));
    QCOMPARE(v->lstDEP->currentItem()->text(0), QStringLiteral("0009"));

    // A double-click does the same on the line under the pointer.
    const QPoint punto = v->lstDEP->visualItemRect(v->lstDEP->topLevelItem(0)).center();
    QTest::mouseClick(v->lstDEP->viewport(), Qt::LeftButton, {}, punto); // a double-click's first press
    QTest::mouseDClick(v->lstDEP->viewport(), Qt::LeftButton, {}, punto);
    QCOMPARE(m_abiertos, (QList<int>{7, 7, 2}));
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0009"));
}

void TstFrmDEP::menuYTamano() {
    frmDEP* v = abrir(2);
    QVERIFY(v);
    QCOMPARE(v->mnu_expoExcel->text(), QStringLiteral("Exportar a Excel"));
    v->mnu_expoExcel->trigger();
    QCOMPARE(m_p->guion.avisos.size(), 2);
    QCOMPARE(m_p->guion.avisos[0].tipo, prueba::ProgramaLista::Aviso::Tipo::Guardar);
    QCOMPARE(m_p->guion.avisos[1].texto, QStringLiteral("Generacion de archivo cancelado!"));

    // The list fills the window less the margins; a window too small leaves the failing size alone.
    QWidget* interior = v->lstDEP->parentWidget();
    v->resize(700, 400);
    QTRY_COMPARE(v->lstDEP->geometry(), QRect(3, 3, interior->width() - 6, interior->height() - 6));
    const int alto = v->lstDEP->height();
    interior->resize(interior->width(), 4);
    QCOMPARE(v->lstDEP->height(), alto);
    QCOMPARE(v->lstDEP->width(), interior->width() - 6);
}

QTEST_MAIN(TstFrmDEP)
#include "tst_frmdep.moc"
