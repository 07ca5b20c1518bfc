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

} // namespace

class TstListaDEP : public QObject {
    Q_OBJECT
private slots:
    void listasOrdenYColores();
    void textosDeColumnas_data();
    void textosDeColumnas();
    void internoConComillasOSinLineas();
    void fallaDeCarga();
    void editorYRecarga();
};

void TstListaDEP::listasOrdenYColores() {
    ProgramaLista p;
    const char* const lineas[][3] = {{"1", "'A'", "'OK'"},  {"2", "NULL", "NULL"},  {"3", "''", "'OK'"},
                                     {"4", "'E'", "'POS'"}, {"5", "'U'", "'SUF'"},  {"6", "'M'", "'OK'"},
                                     {"7", "'E'", "NULL"},  {"10", "'E'", "'ERR'"}, {"12", "'U'", "'OK'"}};
    for (const auto& l : lineas)
        p.linea(QStringLiteral("100"), QByteArray(l[0]).toInt(), QString::fromLatin1(l[1]),
                QString::fromLatin1(l[2]));
    p.linea(QStringLiteral("1000"), 8, QStringLiteral("NULL"), QStringLiteral("NULL"));
    ListaDEP l(p.srv, p.estado);
    int cambios = 0;
    l.cambiado = [&] { ++cambios; };

    // New lines first (Null before empty), then by state, check result (Null first) and order.
    l.CargarRegConErrores();
    QCOMPARE(textos(l), prueba::palabras("0002 0003 0007 0010 0004 0005"));
    const ColorTexto rojoOscuro{128, 0, 0}, marino{0, 0, 128}, azul{0, 0, 192};
    const std::vector<std::optional<ColorTexto>> errores{rojoOscuro, rojoOscuro, marino,
                                                         marino,     marino,     azul};
    for (size_t i = 0; i < errores.size(); ++i)
        QVERIFY2(l.lstDEP()[i].color == errores[i], qPrintable(l.lstDEP()[i].texto));
    QCOMPARE(l.lstDEP()[2].subItems.mid(7, 2), (QStringList{QStringLiteral("E"), QString()})); // Null CRC

    // A new line that passed the checks is in both lists; in this one in the default colour.
    l.CargarRegOK();
    QCOMPARE(textos(l), prueba::palabras("0001 0003 0006 0012"));
    const std::vector<std::optional<ColorTexto>> correctos{std::nullopt, std::nullopt,
                                                           ColorTexto{0, 128, 128}, azul};
    for (size_t i = 0; i < correctos.size(); ++i)
        QVERIFY2(l.lstDEP()[i].color == correctos[i], qPrintable(l.lstDEP()[i].texto));

    // Load by g_iModoLista: 1 the lines with errors, any other value the correct lines.
    for (const int modo : {1, 2, 0}) {
        p.estado.g_iModoLista = modo;
        l.Form_Load();
        QCOMPARE(l.lstDEP().front().texto, modo == 1 ? QStringLiteral("0002") : QStringLiteral("0001"));
    }
    QCOMPARE(l.lstDEP().size(), size_t(4)); // reloading replaces the items
    QCOMPARE(cambios, 5);
    QVERIFY(p.guion.avisos.isEmpty());
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
    ListaDEP l(p.srv, p.estado);
    l.CargarRegOK();
    QCOMPARE(textos(l), (QStringList{QStringLiteral("0007"), QStringLiteral("12345")}));
    QCOMPARE(l.lstDEP()[0].subItems,
             (QStringList{QStringLiteral("AB-1"), QStringLiteral("Válvula ñandú"), QStringLiteral("203"),
                          cantidad, unitario, QStringLiteral("1250"), QStringLiteral("8481.80.99.900K"),
                          QStringLiteral("M"), QStringLiteral("OK"), QStringLiteral("revisar")}));
    QStringList soloCrc(10, QString()); // Null columns show as empty text
    soloCrc[8] = QStringLiteral("OK");
    QCOMPARE(l.lstDEP()[1].subItems, soloCrc);
}

void TstListaDEP::internoConComillasOSinLineas() {
    ProgramaLista p;
    QCOMPARE(
        lista::sqlRegConErrores(QStringLiteral("100")),
        QStringLiteral("select * from ART where INTNRO = '100' and (PRCEST = '' or PRCEST IS NULL or PRCCRC "
                       "<> 'OK' or PRCCRC is null) order by PRCEST,PRCCRC,ARTORD"));
    QCOMPARE(lista::sqlRegOK(QStringLiteral("100")),
             QStringLiteral("select * from ART where INTNRO = '100' and  PRCCRC = 'OK' order by ARTORD"));
    p.estado.g_sInterno = QStringLiteral("O'5");
    p.linea(QStringLiteral("O'5"), 1, QStringLiteral("NULL"), QStringLiteral("NULL"));
    ListaDEP l(p.srv, p.estado);
    l.CargarRegConErrores();
    QCOMPARE(textos(l), QStringList{QStringLiteral("0001")});
    p.estado.g_sInterno = QStringLiteral("999");
    l.CargarRegConErrores();
    QVERIFY(l.lstDEP().empty());
    l.CargarRegOK();
    QVERIFY(l.lstDEP().empty());
    QVERIFY(p.guion.avisos.isEmpty());
}

void TstListaDEP::fallaDeCarga() {
    ProgramaLista p;
    p.linea(QStringLiteral("100"), 1, QStringLiteral("NULL"), QStringLiteral("NULL"));
    ListaDEP l(p.srv, p.estado);
    l.CargarRegConErrores();
    QCOMPARE(l.lstDEP().size(), size_t(1));
    const QString etiqueta = QStringLiteral(" - seccion [VezezirAZEDO2_TARVIX.frmDEP.]");

    // A column missing from the working table: the items go, the report names no procedure.
    p.ejecutar(QStringLiteral("alter table ART drop column PRCOBS"));
    l.CargarRegConErrores();
    QVERIFY(l.lstDEP().empty());
    QCOMPARE(p.guion.avisos.size(), 1);
    const auto aviso = p.guion.avisos.front();
    QCOMPARE(aviso.icono, Icono::Ninguno);
    QCOMPARE(aviso.botones, Botones::Aceptar);
    QVERIFY2(aviso.texto.endsWith(QStringLiteral("PRCOBS\" en el resultado de la consulta\r\n\r\n3265") +
                                  etiqueta),
             qPrintable(prueba::visible(aviso.texto)));

    // No table at all: the database's failure, same label.
    p.ejecutar(QStringLiteral("drop table ART"));
    l.CargarRegOK();
    QCOMPARE(p.guion.avisos.size(), 2);
    QVERIFY2(p.guion.avisos[1].texto.endsWith(QString::number(errores::BaseDeDatos) + etiqueta),
             qPrintable(prueba::visible(p.guion.avisos[1].texto)));
}

void TstListaDEP::editorYRecarga() {
    ProgramaLista p;
    p.linea(QStringLiteral("100"), 3, QStringLiteral("'E'"), QStringLiteral("'POS'"));
    p.linea(QStringLiteral("100"), 7, QStringLiteral("'E'"), QStringLiteral("'SUF'"));
    p.estado.g_iModoLista = 1;
    QList<int> abiertos;
    QString retornoAlAbrir;
    enum { NoGuarda, Guarda, SoloRetorno } editor = NoGuarda;
    // Every edit corrects the row; only a saving one says so (the list must not show an unsaved change).
    ListaDEP l(p.srv, p.estado, [&](int artord) {
        abiertos << artord;
        retornoAlAbrir = p.estado.g_sRetorno;
        p.ejecutar(
            QStringLiteral("update ART set PRCEST = 'M', PRCCRC = 'OK' where ARTORD = %1").arg(artord));
        if (editor != NoGuarda)
            p.estado.g_sRetorno = QStringLiteral("OK");
        return editor == Guarda;
    });
    l.CargarRegOK();
    QVERIFY(!l.abrirEditor(0)); // empty list: no editor
    l.Form_Load();
    QVERIFY(!l.abrirEditor(-1)); // nothing selected
    QVERIFY(!l.abrirEditor(2));
    QVERIFY(abiertos.isEmpty());

    p.estado.g_sRetorno = QStringLiteral("viejo");
    QVERIFY(!l.abrirEditor(1));
    QCOMPARE(abiertos, QList<int>{7}); // the line of "0007"
    QCOMPARE(retornoAlAbrir, QString());
    QCOMPARE(textos(l), prueba::palabras("0003 0007"));

    // A save reloads the list shown, whatever mode step 3 has chosen since.
    p.estado.g_iModoLista = 2;
    editor = Guarda;
    QVERIFY(l.abrirEditor(1));
    QCOMPARE(l.modo(), lista::Modo::ConErrores);
    QCOMPARE(textos(l), prueba::palabras("0003"));
    // An editor that tells the save only through g_sRetorno reloads too.
    editor = SoloRetorno;
    QVERIFY(l.abrirEditor(0));
    QVERIFY(l.lstDEP().empty());
    QCOMPARE(abiertos, (QList<int>{7, 7, 3}));
}

QTEST_GUILESS_MAIN(TstListaDEP)
#include "tst_listadep.moc"
