#include "settings/ventanas/frmpaisesnuevos.h"
#include "testsupport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

using namespace tarvix;

// The window of the new origins by keyboard: the proposal shown, a country typed in a row's box and
// the goods state changed; F11 hands them back, Esc changes nothing.
class TstFrmPaisesNuevos : public QObject {
    Q_OBJECT
private slots:
    void teclado_data();
    void teclado();
};

void TstFrmPaisesNuevos::teclado_data() {
    QTest::addColumn<int>("tecla");
    QTest::addColumn<QStringList>("esperado");
    QTest::newRow("F11") << int(Qt::Key_F11) << prueba::lista({"CHINA=310/1", "XYZ=313/2"});
    QTest::newRow("Esc") << int(Qt::Key_Escape) << prueba::lista({"CHINA=310/2", "XYZ=/2"});
}

void TstFrmPaisesNuevos::teclado() {
    QFETCH(int, tecla);
    QFETCH(QStringList, esperado);
    const std::vector<PaisDisponible> paises{{QStringLiteral("310"), QStringLiteral("CHINA")},
                                             {QStringLiteral("313"), QStringLiteral("TAIWAN")}};
    std::vector<OrigenNuevo> origenes(2);
    origenes[0].texto = QStringLiteral("CHINA");
    origenes[0].pais = QStringLiteral("310");
    origenes[1].texto = QStringLiteral("XYZ");
    FrmPaisesNuevos f(origenes, paises);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    auto* china = prueba::hijo<QComboBox>(f, "CboPais0");
    auto* otro = prueba::hijo<QComboBox>(f, "CboPais1");
    QCOMPARE(china->currentText(), QStringLiteral("CHINA (310)"));
    QCOMPARE(otro->currentText(), QString());
    // Every heading shows whole.
    const QHeaderView* encabezado = prueba::hijo<QTableWidget>(f, "TblOrigenes")->horizontalHeader();
    for (int c = 0; c < encabezado->count(); ++c)
        QVERIFY2(encabezado->sectionSize(c) >= encabezado->sectionSizeHint(c),
                 qPrintable(QString::number(c)));
    auto* esm = prueba::hijo<QLineEdit>(f, "TxtESM0");
    esm->selectAll();
    QTest::keyClicks(esm, QStringLiteral("1"));
    QTest::keyClicks(otro->lineEdit(), QStringLiteral("taiwan (313)"));
    QTest::keyClick(otro->lineEdit(), static_cast<Qt::Key>(tecla));
    QVERIFY(!f.isVisible());
    QStringList r;
    for (const OrigenNuevo& o : origenes)
        r << o.texto + u'=' + o.pais + u'/' + o.esm;
    QCOMPARE(r, esperado);
}

QTEST_MAIN(TstFrmPaisesNuevos)
#include "tst_frmpaisesnuevos.moc"
