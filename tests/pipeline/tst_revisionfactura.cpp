#include "components/interaccionguionada.h"
#include "intake/carga/grilla.h"
#include "pipeline/revisionfactura.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvix;

namespace {

// Field row of the grids of these tests: article, description, quantity, total, unit, brand,
// shipment date, others.
const QStringList kCampos = prueba::lista({"[ ARTICULO ]", "[ DESCRIPC ]", "[ CANTIDAD ]", "[ TOTAL ]",
                                           "[ UNIDAD ]", "[ MARCA ]", "[ FECHA_EMBARQUE ]", "[ OTROS ]"});

// A grid with the field row `campos` and one line per text of `lineas` (cells separated by '|').
void llenar(ModeloGrilla& g, const QStringList& campos, const QStringList& lineas) {
    g.setCols(static_cast<int>(campos.size()));
    g.setRows(2 + static_cast<int>(lineas.size()));
    for (int c = 0; c < campos.size(); ++c)
        g.setTextMatrix(1, c, campos[c]);
    for (int f = 0; f < lineas.size(); ++f) {
        const QStringList celdas = lineas[f].split(u'|');
        for (int c = 0; c < celdas.size(); ++c)
            g.setTextMatrix(2 + f, c, celdas[c]);
    }
}

// "row column title: detail" of each finding.
QStringList describir(const RevisionFactura& r) {
    QStringList d;
    for (const Hallazgo& h : r.hallazgos)
        d << QStringLiteral("%1 %2 %3: %4").arg(h.fila).arg(h.columna, tituloTipo(h.tipo), h.detalle);
    return d;
}

// A correct line with the cells given replaced, `fecha` and `numero` the locale's.
QString linea(std::initializer_list<std::pair<int, QString>> cambios, const QString& fecha = {}) {
    QStringList c = prueba::lista({"ART-1", "TALADRO", "10", "100", "PCS", "TM", "", ""});
    c[6] = fecha;
    for (const auto& [i, t] : cambios)
        c[i] = t;
    return c.join(u'|');
}

} // namespace

// The check of the whole invoice: every kind of finding with its worksheet row, column and text,
// numbers and dates read in the user's locale.
class TstRevisionFactura : public QObject {
    Q_OBJECT
private slots:
    void hallazgos_data();
    void hallazgos();
    void unidadQx();
    void filasDeLaHojaYOrden();
    void exportar();
};

void TstRevisionFactura::hallazgos_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QStringList>("esperado"); // fragments, one per finding, in order
    const QString a250 = QString(250, u'a');
    for (const char* loc : {"es_AR", "en_US"}) {
        const bool ar = qstrcmp(loc, "es_AR") == 0;
        const QString l = QString::fromLatin1(loc);
        const QString fecha = ar ? QStringLiteral("31/12/2024") : QStringLiteral("12/31/2024");
        const QString fechaAjena = ar ? QStringLiteral("12/31/2024") : QStringLiteral("31/12/2024");
        const QString miles = ar ? QStringLiteral("1.234,50") : QStringLiteral("1,234.50");
        const QString milesAjeno = ar ? QStringLiteral("1,234.50,7") : QStringLiteral("1.234,50");
        const QString centavo = ar ? QStringLiteral("0,004") : QStringLiteral("0.004");
        QTest::addRow("%s correcta", loc) << l << QStringList{linea({{2, miles}}, fecha)} << QStringList();
        QTest::addRow("%s fecha ISO y unidad en minúsculas", loc)
            << l << QStringList{linea({{4, QStringLiteral(" kilos ")}}, QStringLiteral("2024-12-31"))}
            << QStringList();
        QTest::addRow("%s N/A", loc) << l << QStringList{linea({{0, QStringLiteral(" n/as ")}})}
                                     << prueba::lista({"2 A Artículo vacío o N/A: El código de artículo no "
                                                       "puede ser N/AS"});
        QTest::addRow("%s artículo vacío", loc)
            << l << QStringList{linea({{0, QStringLiteral("'  ")}}), linea({{0, QString()}})}
            << prueba::lista({"2 A Artículo vacío o N/A: El artículo está vacío",
                              "3 A Artículo vacío o N/A: El artículo está vacío"});
        QTest::addRow("%s cantidad y total que no son números", loc)
            << l
            << QStringList{linea({{2, QStringLiteral("diez")}, {3, QString()}}), linea({{2, milesAjeno}})}
            << prueba::lista({"2 C Cantidad que no es un número: La cantidad no es un número",
                              "3 C Cantidad que no es un número: La cantidad no es un número",
                              "2 D Total que no es un número: El total está vacío",
                              "3 A Artículo y marca repetidos"});
        QTest::addRow("%s textos largos", loc)
            << l
            << QStringList{linea({{0, QString(51, u'x')}}), linea({{1, QStringLiteral(" '") + a250 + u' '}}),
                           linea({{0, QStringLiteral("ART-3")}, {1, a250 + u'b'}, {7, a250 + u'c'}})}
            << prueba::lista(
                   {"2 A Texto más largo que la columna aduanera: Articulo tiene 51 caracteres y la columna "
                    "aduanera admite 50",
                    "4 B Texto más largo que la columna aduanera: Descripción tiene 251 caracteres",
                    "4 H Texto más largo que la columna aduanera: Otros tiene 251 caracteres"});
        QTest::addRow("%s total cero o negativo", loc)
            << l
            << QStringList{linea({{3, QStringLiteral("0")}}), linea({{0, QStringLiteral("B")}, {3, centavo}}),
                           linea({{0, QStringLiteral("C")}, {3, QStringLiteral("-5")}})}
            << prueba::lista({"2 D Total cero: El total es cero: la etapa 3",
                              "3 D Total cero: El total es cero", "4 D Total cero: El total es negativo"});
        QTest::addRow("%s unidad desconocida", loc)
            << l
            << QStringList{linea({{4, QStringLiteral("UN")}}),
                           linea({{0, QStringLiteral("B")}, {4, QString()}})}
            << prueba::lista({"2 E Unidad desconocida: se usa la unidad por defecto: La unidad «UN» no se "
                              "reconoce: se declarará con la unidad por defecto 07"});
        QTest::addRow("%s artículo y marca repetidos", loc)
            << l
            << QStringList{linea({}), linea({{5, QStringLiteral("OTRA")}}),
                           linea({{0, QStringLiteral("ART-2")}}),
                           linea({{0, QStringLiteral("ART-1 ")}, {5, QStringLiteral("tm")}})}
            << prueba::lista(
                   {"5 A Artículo y marca repetidos: El artículo y la marca TM ya están en la fila 2"});
        QTest::addRow("%s fecha que no es una fecha", loc)
            << l
            << QStringList{linea({}, fechaAjena),
                           linea({{0, QStringLiteral("B")}}, QStringLiteral("31/31/2024"))}
            << prueba::lista({"2 G Fecha que no es una fecha: La fecha de embarque no es una fecha",
                              "3 G Fecha que no es una fecha: La fecha de embarque no es una fecha"});
    }
}

void TstRevisionFactura::hallazgos() {
    QFETCH(QString, locale);
    QFETCH(QStringList, lineas);
    QFETCH(QStringList, esperado);
    const prueba::LocaleFijo fijo(locale);
    ModeloGrilla g;
    llenar(g, kCampos, lineas);
    const QStringList d = describir(revisarFactura(g, {QStringLiteral("07"), QString(), QLocale()}));
    QCOMPARE(d.size(), esperado.size());
    for (int i = 0; i < d.size(); ++i)
        QVERIFY2(d[i].startsWith(esperado[i]), qPrintable(d[i]));
}

// With only UNIDAD QX mapped a unit the conversions do not know stops the run: an error. With both
// unit columns mapped the run reads neither, and nothing is said.
void TstRevisionFactura::unidadQx() {
    ModeloGrilla g;
    QStringList campos = kCampos;
    campos[4] = QStringLiteral("[ UNIDAD QX ]");
    llenar(
        g, campos,
        {linea({{4, QStringLiteral("EA")}}), linea({{0, QStringLiteral("B")}, {4, QStringLiteral("ea")}})});
    RevisionFactura r = revisarFactura(g, {});
    QVERIFY(r.hayErrores());
    QCOMPARE(describir(r),
             QStringList{QStringLiteral("3 E Unidad QX que no se reconoce: No se reconoce la unidad: ea")});
    g.setCols(9);
    g.setTextMatrix(1, 8, QStringLiteral("[ UNIDAD ]"));
    QVERIFY(revisarFactura(g, {}).vacia());
}

// Rows are those of the worksheet (a load skips blank rows); errors come first, then warnings,
// each kind by row; the window's default answer follows.
void TstRevisionFactura::filasDeLaHojaYOrden() {
    ModeloGrilla cargada;
    llenar(cargada, kCampos,
           {linea({{4, QStringLiteral("UN")}}), linea({{0, QStringLiteral("N/A")}}),
            linea({{0, QStringLiteral("C")}, {2, QStringLiteral("x")}})});
    cargada.setFilasHoja({2, 6, 9});
    ModeloGrilla g;
    g.intercambiar(cargada);
    const RevisionFactura r = revisarFactura(g, {QStringLiteral("07"), QString(), QLocale()});
    QCOMPARE(describir(r).join(u'\n').count(u'\n'), 2);
    QCOMPARE(r.hallazgos[0].fila, 6);
    QCOMPARE(r.hallazgos[1].fila, 9);
    QCOMPARE(r.hallazgos[2].fila, 2);
    QCOMPARE(r.errores(), 2);
    QCOMPARE(r.advertencias(), 1);
    QVERIFY(resumenRevision(r).startsWith(QStringLiteral("La factura tiene 2 errores y 1 advertencia:")));
    InteraccionGuionada guion;
    QVERIFY(!guion.revisionFactura(r));
    QVERIFY(!InteraccionNula::instancia().revisionFactura(r));
    RevisionFactura avisos;
    avisos.hallazgos.push_back(r.hallazgos[2]);
    QVERIFY(guion.revisionFactura(avisos));
    QCOMPARE(guion.revisiones.size(), 2);
}

// The export: a title row and a row per finding, the sheet row as a number and the cell text
// escaped; an existing file is replaced only on "Sí".
void TstRevisionFactura::exportar() {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("revision.xls"));
    RevisionFactura r;
    r.hallazgos.push_back({TipoHallazgo::ArticuloVacio, 12, QStringLiteral("W"), QStringLiteral("N/A <&>"),
                           QStringLiteral("El código de artículo no puede ser N/A")});
    InteraccionGuionada guion;
    guion.archivos.enqueue(ruta);
    QVERIFY(exportarRevision(r, guion));
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(f.readAll());
    f.close();
    QVERIFY(xml.startsWith(QStringLiteral("<?xml version=\"1.0\"?>\r\n")));
    QVERIFY(xml.contains(QStringLiteral("<Cell><Data ss:Type=\"String\">[FILA]</Data></Cell>")));
    QVERIFY(xml.contains(QStringLiteral("<Cell><Data ss:Type=\"Number\">12</Data></Cell>\r\n"
                                        "<Cell><Data ss:Type=\"String\">W</Data></Cell>\r\n"
                                        "<Cell><Data ss:Type=\"String\">N/A &lt;&amp;&gt;</Data></Cell>\r\n"
                                        "<Cell><Data ss:Type=\"String\">Error</Data></Cell>")));
    QVERIFY(xml.endsWith(QStringLiteral("</Workbook>\r\n")));
    const qint64 largo = f.size();
    guion.archivos.enqueue(ruta); // "No" (the default) keeps it
    QVERIFY(!exportarRevision(r, guion));
    guion.archivos.enqueue(ruta);
    guion.respuestas.enqueue(Respuesta::Si);
    QVERIFY(exportarRevision(r, guion));
    QCOMPARE(QFileInfo(ruta).size(), largo);
}

QTEST_GUILESS_MAIN(TstRevisionFactura)
#include "tst_revisionfactura.moc"
