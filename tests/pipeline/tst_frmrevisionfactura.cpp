#include "components/interaccionguionada.h"
#include "pipeline/ventanas/frmrevisionfactura.h"
#include "testsupport.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

using namespace tarvix;

namespace {

RevisionFactura revision(bool conError) {
    RevisionFactura r;
    if (conError)
        r.hallazgos.push_back({TipoHallazgo::ArticuloVacio, 3, QStringLiteral("W"), QStringLiteral("N/A"),
                               QStringLiteral("El código de artículo no puede ser N/A")});
    for (int fila : {2, 7})
        r.hallazgos.push_back({TipoHallazgo::UnidadPorDefecto, fila, QStringLiteral("F"),
                               QStringLiteral("UN"), QStringLiteral("La unidad «UN» no se reconoce")});
    return r;
}

} // namespace

// The window of the check: its groups, and the keys. Enter presses "Procesar igual" when there are
// only warnings and "Volver" when there is an error; Esc always goes back.
class TstFrmRevisionFactura : public QObject {
    Q_OBJECT
private slots:
    void teclas_data();
    void teclas();
    void exportar();
};

void TstFrmRevisionFactura::teclas_data() {
    QTest::addColumn<bool>("conError");
    QTest::addColumn<int>("tecla");
    QTest::addColumn<bool>("procesa");
    QTest::newRow("advertencias, Enter") << false << int(Qt::Key_Return) << true;
    QTest::newRow("advertencias, Esc") << false << int(Qt::Key_Escape) << false;
    QTest::newRow("error, Enter") << true << int(Qt::Key_Return) << false;
    QTest::newRow("error, Esc") << true << int(Qt::Key_Escape) << false;
}

void TstFrmRevisionFactura::teclas() {
    QFETCH(bool, conError);
    QFETCH(int, tecla);
    QFETCH(bool, procesa);
    const RevisionFactura r = revision(conError);
    InteraccionGuionada guion;
    FrmRevisionFactura f(r, guion);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    auto* lista = prueba::hijo<QTreeWidget>(f, "LstHallazgos");
    QCOMPARE(lista->topLevelItemCount(), conError ? 2 : 1);
    const QTreeWidgetItem* ultimo = lista->topLevelItem(lista->topLevelItemCount() - 1);
    QCOMPARE(ultimo->text(0),
             QStringLiteral("Advertencia: %1 (2)").arg(tituloTipo(TipoHallazgo::UnidadPorDefecto)));
    QCOMPARE(ultimo->child(1)->text(0), QStringLiteral("7"));
    QCOMPARE(prueba::hijo<QPushButton>(f, "CmdProcesarIgual")->isVisible(), !conError);
    QTest::keyClick(lista, static_cast<Qt::Key>(tecla));
    QVERIFY(!f.isVisible());
    QCOMPARE(f.procesar(), procesa);
}

// "Exportar a Excel" asks for the file and writes it; the window stays open.
void TstFrmRevisionFactura::exportar() {
    QTemporaryDir dir;
    const RevisionFactura r = revision(true);
    InteraccionGuionada guion;
    guion.archivos.enqueue(dir.filePath(QStringLiteral("r.xls")));
    FrmRevisionFactura f(r, guion);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(f.windowHandle(), Qt::Key_E, Qt::AltModifier);
    // A mnemonic presses its button with the click's animation.
    QTRY_VERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("r.xls"))));
    QVERIFY(f.isVisible());
    QCOMPARE(guion.mensajes().size(), 1); // "Generacion de archivo completado!"
}

QTEST_MAIN(TstFrmRevisionFactura)
#include "tst_frmrevisionfactura.moc"
