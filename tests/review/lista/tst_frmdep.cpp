#include "programalista.h"
#include "review/lista/ventanas/frmdep.h"
#include "review/lista/ventanas/modelodep.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QTreeView>

using namespace tarvix;

namespace {

QStringList textos(const QTreeView* lista) {
    QStringList r;
    for (int i = 0; i < lista->model()->rowCount(); ++i)
        r << lista->model()->index(i, 0).data().toString();
    return r;
}

QModelIndex celda(const QTreeView* lista, int fila, int columna) {
    return lista->model()->index(fila, columna);
}

QColor colorDe(const QTreeView* lista, int fila, int columna) {
    return celda(lista, fila, columna).data(Qt::ForegroundRole).value<QBrush>().color();
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
    void guardarActualizaComoUnaRecarga_data();
    void guardarActualizaComoUnaRecarga();

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
    m_p->estado.g_iModoLista = modo;
    mostrarRevision(m_p->srv, m_p->estado, m_principal.get(), [this](int artord) {
        m_abiertos << artord;
        if (m_guardar) {
            m_p->ejecutar(
                QStringLiteral("update ART set PRCEST = 'M', PRCCRC = 'OK' where ARTORD = %1").arg(artord));
            m_p->estado.g_sRetorno = QStringLiteral("OK");
        }
        return m_guardar;
    });
    frmDEP* v = ventanaRevision();
    return v && QTest::qWaitForWindowExposed(v) ? v : nullptr;
}

void TstFrmDEP::ventanaCompartida() {
    frmDEP* v = abrir(1);
    QVERIFY(v);
    QCOMPARE(v->windowTitle(), QStringLiteral("Resultados - Interno 100"));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(v->lstDEP->model()->columnCount(), 11);
    QCOMPARE(v->lstDEP->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Posición"));
    QVERIFY(!v->lstDEP->accessibleName().isEmpty());
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0002 0007 0009"));
    QCOMPARE(celda(v->lstDEP, 0, 1).data().toString(), QStringLiteral("N2"));
    for (int c = 0; c < 11; ++c)
        QCOMPARE(colorDe(v->lstDEP, 0, c), QColor(128, 0, 0));
    QCOMPARE(colorDe(v->lstDEP, 2, 10), QColor(0, 0, 192));

    // The other button of step 3 only brings the same window to the front.
    QCOMPARE(abrir(2), v);
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0002 0007 0009"));

    // It opens within the screen, each column as wide as its title at least, "Obs" in sight.
    QVERIFY(v->screen()->availableGeometry().contains(v->frameGeometry()));
    QHeaderView* h = v->lstDEP->header();
    for (int c = 0; c < 11; ++c)
        QVERIFY2(h->sectionSize(c) >= h->sectionSizeHint(c),
                 qPrintable(h->model()->headerData(c, Qt::Horizontal).toString()));
    QTRY_VERIFY(h->sectionViewportPosition(10) + h->sectionSize(10) <= v->lstDEP->viewport()->width());

    // Esc closes and unloads it; the next opening loads the list of the mode then set.
    QTest::keyClick(v->lstDEP, Qt::Key_Escape);
    QTRY_VERIFY(!ventanaRevision());
    v = abrir(2);
    QVERIFY(v);
    QCOMPARE(textos(v->lstDEP), prueba::palabras("0001"));
    QVERIFY(!celda(v->lstDEP, 0, 0).data(Qt::ForegroundRole).isValid()); // default colour
}

void TstFrmDEP::enterYDobleClicAbrenElEditor() {
    frmDEP* v = abrir(1);
    QVERIFY(v);
    v->lstDEP->setFocus();
    QCOMPARE(v->lstDEP->currentIndex().row(), 0);

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
    QCOMPARE(v->lstDEP->currentIndex().siblingAtColumn(0).data().toString(), QStringLiteral("0009"));

    // A double-click does the same on the line under the pointer.
    const QPoint punto = v->lstDEP->visualRect(celda(v->lstDEP, 0, 0)).center();
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

void TstFrmDEP::guardarActualizaComoUnaRecarga_data() {
    QTest::addColumn<int>("modo");
    QTest::newRow("con errores") << 1;
    QTest::newRow("correctos") << 2;
}

// Each save updates only its line; the list then holds what loading it again gives, with states
// that sort by case, accents, Null and empty text, lines that move, change in place or leave.
void TstFrmDEP::guardarActualizaComoUnaRecarga() {
    QFETCH(int, modo);
    const char* const lineas[][2] = {{"NULL", "NULL"}, {"''", "'OK'"},   {"'E'", "'POS'"}, {"'e'", "'SUF'"},
                                     {"'É'", "'ERR'"}, {"'U'", "'ok'"},  {"'M'", "'OK'"},  {"'A'", "'OK'"},
                                     {"'E'", "NULL"},  {"'1'", "'POS'"}, {"'é'", "'POS'"}, {"'Z'", "'SUF'"}};
    int ord = 20;
    for (const auto& l : lineas)
        m_p->linea(QStringLiteral("100"), ++ord, QString::fromUtf8(l[0]), QString::fromUtf8(l[1]));
    m_p->linea(QStringLiteral("200"), 24, QStringLiteral("'A'"), QStringLiteral("'OK'"));
    // ARTORD and the editor's statement on that line.
    const std::pair<int, const char*> ediciones[] = {
        {24, "update ART set PRCEST = 'A' where ARTORD = %1"},
        {32, "update ART set PRCEST = NULL, PRCCRC = 'OK' where ARTORD = %1"},
        {27, "update ART set ARTDSC = 'otra', PRCEST = 'm' where ARTORD = %1"},
        {21, "update ART set PRCEST = 'M', PRCCRC = 'OK' where ARTORD = %1"},
        {26, "update ART set PRCCRC = 'SUF' where ARTORD = %1"},
        {22, "update ART set PRCEST = 'z' where ARTORD = %1"},
        {30, "update ART set PRCEST = 'é', ARTCAN = 7.25 where ARTORD = %1"},
        {28, "delete from ART where ARTORD = %1"},
        {25, "update ART set PRCEST = 'e' where ARTORD = %1"},
        {33, "update ART set PRCEST = 'Á', PRCCRC = 'OK' where ARTORD = %1"},
        {9, "update ART set PRCEST = 'U', PRCCRC = 'OK' where ARTORD = %1"},
        {1, "update ART set PRCEST = 'u' where ARTORD = %1"}};
    m_p->estado.g_iModoLista = modo;
    QString sentencia;
    ListaDEP lista(m_p->srv, m_p->estado, [&](int artord) {
        m_p->ejecutar(sentencia.arg(artord));
        m_p->estado.g_sRetorno = QStringLiteral("OK");
        return true;
    });
    ModeloDEP modelo(lista);
    QAbstractItemModelTester tester(&modelo, QAbstractItemModelTester::FailureReportingMode::QtTest);
    lista.Form_Load();
    const auto texto = [&](int artord) { return QStringLiteral("%1").arg(artord, 4, 10, QLatin1Char('0')); };
    int hechas = 0;
    for (const auto& [artord, edicion] : ediciones) {
        int fila = 0;
        while (fila < modelo.rowCount() && modelo.index(fila, 0).data() != texto(artord))
            ++fila;
        if (fila == modelo.rowCount())
            continue;
        sentencia = QString::fromUtf8(edicion);
        QVERIFY(lista.abrirEditor(fila));
        ++hechas;
        ListaDEP recargada(m_p->srv, m_p->estado);
        recargada.Form_Load();
        const std::vector<ItemDEP> esperados = recargada.lstDEP();
        QCOMPARE(modelo.rowCount(), static_cast<int>(esperados.size()));
        for (int i = 0; i < modelo.rowCount(); ++i) {
            const ItemDEP& e = esperados[static_cast<size_t>(i)];
            for (int c = 0; c < lista::kColumnas; ++c)
                QCOMPARE(modelo.index(i, c).data().toString(), c == 0 ? e.texto : e.subItems[c - 1]);
            const QVariant color = modelo.index(i, 10).data(Qt::ForegroundRole);
            QCOMPARE(color.isValid(), e.color.has_value());
            if (e.color)
                QCOMPARE(color.value<QBrush>().color(), QColor(e.color->rojo, e.color->verde, e.color->azul));
        }
    }
    QVERIFY(hechas >= 5);
    QVERIFY(m_p->guion.avisos.isEmpty());
}

QTEST_MAIN(TstFrmDEP)
#include "tst_frmdep.moc"
