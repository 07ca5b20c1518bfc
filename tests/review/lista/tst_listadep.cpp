#include "components/vberror.h"
#include "programalista.h"
#include "review/lista/lista_logica.h"

#include <QTest>

using namespace tarvix;
using prueba::ProgramaLista;

namespace {

QStringList textos(const ListaDEP& l) {
    QStringList r;
    for (const ItemDEP& i : l.lstDEP())
        r << i.texto;
    return r;
}

const ColorTexto kRojoOscuro{128, 0, 0};
const ColorTexto kAzul{0, 0, 192};
const ColorTexto kMarino{0, 0, 128};
const ColorTexto kVerdeAzulado{0, 128, 128};

// Lines of interno 100 in every state, and one line of another interno.
void sembrarEstados(ProgramaLista& p) {
    p.linea(QStringLiteral("100"), 1, QStringLiteral("'A'"), QStringLiteral("'OK'"));
    p.linea(QStringLiteral("100"), 2, QStringLiteral("NULL"), QStringLiteral("NULL"));
    p.linea(QStringLiteral("100"), 3, QStringLiteral("''"), QStringLiteral("'OK'"));
    p.linea(QStringLiteral("100"), 4, QStringLiteral("'E'"), QStringLiteral("'POS'"));
    p.linea(QStringLiteral("100"), 5, QStringLiteral("'U'"), QStringLiteral("'SUF'"));
    p.linea(QStringLiteral("100"), 6, QStringLiteral("'M'"), QStringLiteral("'OK'"));
    p.linea(QStringLiteral("100"), 7, QStringLiteral("'E'"), QStringLiteral("NULL"));
    p.linea(QStringLiteral("100"), 10, QStringLiteral("'E'"), QStringLiteral("'ERR'"));
    p.linea(QStringLiteral("100"), 12, QStringLiteral("'U'"), QStringLiteral("'OK'"));
    p.linea(QStringLiteral("1000"), 8, QStringLiteral("NULL"), QStringLiteral("NULL"));
}

} // namespace

class TstListaDEP : public QObject {
    Q_OBJECT
private slots:
    void sentencias();
    void listaConErroresOrdenYColores();
    void listaCorrectosOrdenYColores();
    void modoPorGlobal_data();
    void modoPorGlobal();
    void textosDeColumnas_data();
    void textosDeColumnas();
    void internoConComillasYVacio();
    void fallaDeCarga();
    void editorYRecarga();
    void editorSinSeleccionNiLineas();
    void reglaDeTamano();
};

void TstListaDEP::sentencias() {
    QCOMPARE(
        lista::sqlRegConErrores(QStringLiteral("100")),
        QStringLiteral("select * from ART where INTNRO = '100' and (PRCEST = '' or PRCEST IS NULL or PRCCRC "
                       "<> 'OK' or PRCCRC is null) order by PRCEST,PRCCRC,ARTORD"));
    QCOMPARE(lista::sqlRegOK(QStringLiteral("O'5")),
             QStringLiteral("select * from ART where INTNRO = 'O''5' and  PRCCRC = 'OK' order by ARTORD"));
    QCOMPARE(lista::encabezados().size(), lista::kColumnas);
}

void TstListaDEP::listaConErroresOrdenYColores() {
    ProgramaLista p;
    sembrarEstados(p);
    ListaDEP l(p.g);
    int avisosCambio = 0;
    l.cambiado = [&] { ++avisosCambio; };
    l.CargarRegConErrores();
    QCOMPARE(avisosCambio, 1);
    QCOMPARE(l.modo(), lista::Modo::ConErrores);
    // New lines first (Null before empty), then by state, check result (Null first) and order.
    QCOMPARE(textos(l),
             (QStringList{QStringLiteral("0002"), QStringLiteral("0003"), QStringLiteral("0007"),
                          QStringLiteral("0010"), QStringLiteral("0004"), QStringLiteral("0005")}));
    const std::vector<std::optional<ColorTexto>> colores{kRojoOscuro, kRojoOscuro, kMarino,
                                                         kMarino,     kMarino,     kAzul};
    for (size_t i = 0; i < colores.size(); ++i)
        QVERIFY2(l.lstDEP()[i].color == colores[i], qPrintable(l.lstDEP()[i].texto));
    // A Null check result shows as empty text.
    QCOMPARE(l.lstDEP()[2].subItems.value(8), QString());
    QCOMPARE(l.lstDEP()[2].subItems.value(7), QStringLiteral("E"));
    QVERIFY(p.guion.avisos.isEmpty());
}

void TstListaDEP::listaCorrectosOrdenYColores() {
    ProgramaLista p;
    sembrarEstados(p);
    ListaDEP l(p.g);
    l.CargarRegOK();
    QCOMPARE(textos(l), (QStringList{QStringLiteral("0001"), QStringLiteral("0003"), QStringLiteral("0006"),
                                     QStringLiteral("0012")}));
    QCOMPARE(l.lstDEP()[0].color, std::nullopt);
    QCOMPARE(l.lstDEP()[1].color, std::nullopt); // new to the catalog, yet correct: default colour
    QCOMPARE(l.lstDEP()[2].color, kVerdeAzulado);
    QCOMPARE(l.lstDEP()[3].color, kAzul);
    // Reloading replaces the items instead of adding to them.
    l.CargarRegOK();
    QCOMPARE(l.lstDEP().size(), size_t(4));
}

void TstListaDEP::modoPorGlobal_data() {
    QTest::addColumn<int>("modo");
    QTest::addColumn<QString>("primero");
    QTest::newRow("1 errores") << 1 << QStringLiteral("0002");
    QTest::newRow("2 correctos") << 2 << QStringLiteral("0001");
    QTest::newRow("0 correctos") << 0 << QStringLiteral("0001");
}

void TstListaDEP::modoPorGlobal() {
    QFETCH(int, modo);
    QFETCH(QString, primero);
    ProgramaLista p;
    sembrarEstados(p);
    p.g.g_iModoLista = modo;
    ListaDEP l(p.g);
    l.Form_Load();
    QCOMPARE(l.lstDEP().front().texto, primero);
}

void TstListaDEP::textosDeColumnas_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("cantidad");
    QTest::addColumn<QString>("unitario");
    QTest::newRow("es_AR") << QStringLiteral("es_AR") << QStringLiteral("1,5") << QStringLiteral("0,33333");
    QTest::newRow("en_US") << QStringLiteral("en_US") << QStringLiteral("1.5") << QStringLiteral("0.33333");
}

void TstListaDEP::textosDeColumnas() {
    QFETCH(QString, locale);
    QFETCH(QString, cantidad);
    QFETCH(QString, unitario);
    prueba::LocaleFijo fijo(locale);
    ProgramaLista p;
    p.ejecutar(QStringLiteral(
        "insert into ART (INTNRO, ARTORD, ARTNRO, ARTDSC, ARTORG, ARTCAN, ARTUNI, ARTTOT, PRCNCM, PRCEST, "
        "PRCCRC, PRCOBS) values ('100', 7, 'AB-1', 'Válvula ñandú', '203', 1.5, 0.33333, 1250, "
        "'8481.80.99.900K', 'M', 'OK', 'revisar')"));
    p.ejecutar(QStringLiteral("insert into ART (INTNRO, ARTORD, PRCCRC) values ('100', 12345, 'OK')"));
    ListaDEP l(p.g);
    l.CargarRegOK();
    QCOMPARE(l.lstDEP().size(), size_t(2));
    const ItemDEP& i = l.lstDEP()[0];
    QCOMPARE(i.texto, QStringLiteral("0007"));
    QCOMPARE(i.subItems,
             (QStringList{QStringLiteral("AB-1"), QStringLiteral("Válvula ñandú"), QStringLiteral("203"),
                          cantidad, unitario, QStringLiteral("1250"), QStringLiteral("8481.80.99.900K"),
                          QStringLiteral("M"), QStringLiteral("OK"), QStringLiteral("revisar")}));
    // Five digits show whole; Null columns show as empty text.
    QCOMPARE(l.lstDEP()[1].texto, QStringLiteral("12345"));
    QStringList soloCrc(10, QString());
    soloCrc[8] = QStringLiteral("OK");
    QCOMPARE(l.lstDEP()[1].subItems, soloCrc);
}

void TstListaDEP::internoConComillasYVacio() {
    ProgramaLista p;
    p.g.g_sInterno = QStringLiteral("O'5");
    p.linea(QStringLiteral("O'5"), 1, QStringLiteral("NULL"), QStringLiteral("NULL"));
    ListaDEP l(p.g);
    l.CargarRegConErrores();
    QCOMPARE(textos(l), QStringList{QStringLiteral("0001")});
    QVERIFY(p.guion.avisos.isEmpty());
    // An interno without lines: both lists empty, nothing to report.
    p.g.g_sInterno = QStringLiteral("999");
    l.CargarRegConErrores();
    QVERIFY(l.lstDEP().empty());
    l.CargarRegOK();
    QVERIFY(l.lstDEP().empty());
    QVERIFY(p.guion.avisos.isEmpty());
}

void TstListaDEP::fallaDeCarga() {
    ProgramaLista p;
    p.linea(QStringLiteral("100"), 1, QStringLiteral("NULL"), QStringLiteral("NULL"));
    ListaDEP l(p.g);
    l.CargarRegConErrores();
    QCOMPARE(l.lstDEP().size(), size_t(1));

    // A working table without the observation column: the items go, the report names no procedure.
    p.ejecutar(QStringLiteral("alter table ART drop column PRCOBS"));
    l.CargarRegConErrores();
    QVERIFY(l.lstDEP().empty());
    QCOMPARE(p.guion.avisos.size(), 1);
    const auto aviso = p.guion.avisos.front();
    QCOMPARE(aviso.icono, Icono::Ninguno);
    QCOMPARE(aviso.botones, Botones::Aceptar);
    QVERIFY2(aviso.texto.endsWith(QStringLiteral("\r\n\r\n3265 - seccion [VezezirAZEDO2_TARVIX.frmDEP.]")),
             qPrintable(prueba::visible(aviso.texto)));
    QVERIFY(aviso.texto.contains(QStringLiteral("PRCOBS")));

    // No table at all: the database's own failure, same label.
    p.guion.limpiar();
    p.ejecutar(QStringLiteral("drop table ART"));
    l.CargarRegOK();
    QVERIFY(l.lstDEP().empty());
    QCOMPARE(p.guion.avisos.size(), 1);
    QVERIFY2(
        p.guion.avisos.front().texto.endsWith(QString::number(errores::BaseDeDatos) +
                                              QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmDEP.]")),
        qPrintable(prueba::visible(p.guion.avisos.front().texto)));
}

void TstListaDEP::editorYRecarga() {
    ProgramaLista p;
    p.linea(QStringLiteral("100"), 3, QStringLiteral("'E'"), QStringLiteral("'POS'"));
    p.linea(QStringLiteral("100"), 7, QStringLiteral("'E'"), QStringLiteral("'SUF'"));
    p.g.g_iModoLista = 1;
    QList<int> abiertos;
    QString retornoAlAbrir = QStringLiteral("sin abrir");
    bool guardar = false;
    // The editor saves the line as corrected when told to; otherwise it changes the row and closes
    // without telling (the list must not show the change).
    ListaDEP l(p.g, [&](int artord) {
        abiertos << artord;
        retornoAlAbrir = p.g.g_sRetorno;
        p.ejecutar(
            QStringLiteral("update ART set PRCEST = 'M', PRCCRC = 'OK' where INTNRO = '100' and ARTORD = ") +
            QString::number(artord));
        if (guardar)
            p.g.g_sRetorno = QStringLiteral("OK");
        return guardar;
    });
    l.Form_Load();
    int recargas = 0;
    l.cambiado = [&] { ++recargas; };

    p.g.g_sRetorno = QStringLiteral("viejo");
    QVERIFY(!l.abrirEditor(1));
    QCOMPARE(abiertos, QList<int>{7});
    QCOMPARE(retornoAlAbrir, QString());
    QCOMPARE(recargas, 0);
    QCOMPARE(textos(l), (QStringList{QStringLiteral("0003"), QStringLiteral("0007")}));

    // Step 3 switched the mode since; the window still reloads the list it shows.
    p.g.g_iModoLista = 2;
    guardar = true;
    QVERIFY(l.abrirEditor(0));
    QCOMPARE(abiertos, (QList<int>{7, 3}));
    QCOMPARE(recargas, 1);
    QCOMPARE(l.modo(), lista::Modo::ConErrores);
    QVERIFY(l.lstDEP().empty()); // both lines are correct now

    // An editor that reports the save only through g_sRetorno also reloads.
    ProgramaLista q;
    q.linea(QStringLiteral("100"), 5, QStringLiteral("NULL"), QStringLiteral("NULL"));
    ListaDEP m(q.g, [&](int) {
        q.ejecutar(QStringLiteral("update ART set PRCEST = 'M', PRCCRC = 'OK'"));
        q.g.g_sRetorno = QStringLiteral("OK");
        return false;
    });
    m.CargarRegConErrores();
    QVERIFY(m.abrirEditor(0));
    QVERIFY(m.lstDEP().empty());
}

void TstListaDEP::editorSinSeleccionNiLineas() {
    ProgramaLista p;
    int llamadas = 0;
    ListaDEP l(p.g, [&](int) { return ++llamadas > 0; });
    l.CargarRegConErrores();
    QVERIFY(!l.abrirEditor(0)); // empty list
    p.linea(QStringLiteral("100"), 1, QStringLiteral("NULL"), QStringLiteral("NULL"));
    l.CargarRegConErrores();
    QVERIFY(!l.abrirEditor(-1)); // nothing selected
    QVERIFY(!l.abrirEditor(1));
    QCOMPARE(llamadas, 0);
    QVERIFY(l.abrirEditor(0));
    QCOMPARE(llamadas, 1);
}

void TstListaDEP::reglaDeTamano() {
    const lista::GeometriaLista g = lista::geometriaLista(400, 300);
    QCOMPARE(g.izquierda, 3);
    QCOMPARE(g.arriba, 3);
    QCOMPARE(g.ancho, 394);
    QCOMPARE(g.alto, 294);
    // Too small: the failing sizes are left alone, the position still applies.
    const lista::GeometriaLista chica = lista::geometriaLista(4, 6);
    QCOMPARE(chica.ancho, std::nullopt);
    QCOMPARE(chica.alto, 0);
}

QTEST_GUILESS_MAIN(TstListaDEP)
#include "tst_listadep.moc"
