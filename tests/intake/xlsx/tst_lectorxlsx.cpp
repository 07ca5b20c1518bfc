// The .xlsx reader on workbooks written by programs (every cell against the expectations the
// fixture generator derived from openpyxl) and on hand-made packages for each feature.
#include "components/vberror.h"
#include "fixturaxlsx.h"
#include "intake/clecxel.h"
#include "intake/formatocelda.h"
#include "intake/xlsx/formatosfecha.h"
#include "intake/xlsx/hojaxlsx.h"
#include "intake/xlsx/lectorxlsx.h"
#include "intake/xlsx/libroxlsx.h"

#include <QFile>
#include <QTest>

using namespace tarvix::lector;

namespace {

QString sinEscapes(const QString& s) {
    QString r;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar c = s[++i];
            r += c == u't' ? u'\t' : c == u'n' ? u'\n' : c == u'r' ? u'\r' : c;
        } else {
            r += s[i];
        }
    }
    return r;
}

// Text of the non-empty cells of rows desde..hasta as "row,col=text|...", for readable failures.
QString textos(const Hoja& hoja, const QLocale& locale, int desde, int hasta, int columnas) {
    const FormatoCelda f(locale);
    QStringList r;
    for (int i = desde; i <= hasta; ++i)
        for (int j = 1; j <= columnas; ++j)
            if (hoja.celda(i, j).tipo != TipoCelda::Vacia)
                r << QStringLiteral("%1,%2=%3").arg(i).arg(j).arg(f.texto(hoja.celda(i, j)));
    return r.join(u'|');
}

} // namespace

class TstLectorXlsx : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void escritosPorProgramas_data();
    void escritosPorProgramas();
    void tiposYEstilos();
    void cadenas();
    void sinReferencias();
    void espaciosDeNombres();
    void codificaciones();
    void rutasPorRelaciones();
    void formatosDeFecha();
    void referencias();
    void fechasIso();
    void destinos();
    void hojaConTextosAparte();
};

void TstLectorXlsx::escritosPorProgramas_data() {
    QTest::addColumn<QString>("nombre");
    for (const char* n : {"openpyxl_factura", "xlsxwriter_factura", "xlsxwriter_1904", "gnumeric_factura"})
        QTest::newRow(n) << QString::fromLatin1(n);
}

void TstLectorXlsx::escritosPorProgramas() {
    QFETCH(QString, nombre);
    QFile tsv(fixture(nombre + QStringLiteral(".esperado.tsv")));
    QVERIFY(tsv.open(QIODevice::ReadOnly | QIODevice::Text));
    struct Esperado {
        int fila, columna;
        QString esAR, enUS;
    };
    std::vector<Esperado> esperados;
    int filas = 0, columnas = 0;
    for (const QString& linea : QString::fromUtf8(tsv.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (linea.startsWith(u'#'))
            continue;
        const QStringList c = linea.split(u'\t');
        QCOMPARE(c.size(), 4);
        esperados.push_back({c[0].toInt(), c[1].toInt(), sinEscapes(c[2]), sinEscapes(c[3])});
        filas = std::max(filas, esperados.back().fila);
        columnas = std::max(columnas, esperados.back().columna);
    }
    QVERIFY(esperados.size() > 10);

    tarvix::clEcxel excel;
    excel.setArchivo(fixture(nombre + QStringLiteral(".xlsx")));
    QVERIFY(excel.Abrir());
    for (const char* locale : {"es_AR", "en_US"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        const bool es = QByteArray(locale) == "es_AR";
        std::vector<std::vector<bool>> visto(static_cast<size_t>(filas + 2),
                                             std::vector<bool>(static_cast<size_t>(columnas + 2)));
        for (const Esperado& e : esperados) {
            const QString leido = excel.LeerCelda(e.fila, e.columna);
            if (leido != (es ? e.esAR : e.enUS))
                QFAIL(qPrintable(QStringLiteral("%1 fila %2 columna %3: «%4», se esperaba «%5»")
                                     .arg(QLatin1String(locale))
                                     .arg(e.fila)
                                     .arg(e.columna)
                                     .arg(leido, es ? e.esAR : e.enUS)));
            visto[static_cast<size_t>(e.fila)][static_cast<size_t>(e.columna)] = true;
        }
        // Every other cell around them is empty.
        for (int i = 1; i <= filas + 1; ++i)
            for (int j = 1; j <= columnas + 1; ++j)
                if (!visto[static_cast<size_t>(i)][static_cast<size_t>(j)] &&
                    !excel.LeerCelda(i, j).isEmpty())
                    QFAIL(qPrintable(QStringLiteral("fila %1 columna %2 debía estar vacía: «%3»")
                                         .arg(i)
                                         .arg(j)
                                         .arg(excel.LeerCelda(i, j))));
    }
}

void TstLectorXlsx::tiposYEstilos() {
    const Hoja h = leerXlsx(fixture(QStringLiteral("tipos.xlsx")));
    const QLocale es(QStringLiteral("es_AR"));
    QCOMPARE(textos(h, es, 1, 1, 10),
             QStringLiteral("1,1=True|1,2=False|1,3=Error 2007|1,4=Error 2042|1,5=Error 2029|"
                            "1,6=Error 2000|1,7=Error 2036|1,8=Error 2023|1,9=Error 2015"));
    // Cached formula results; a formula without one is empty; numbers parsed with blanks around.
    QCOMPARE(textoCelda(h.celda(2, 1), es), QStringLiteral("2"));
    QCOMPARE(textoCelda(h.celda(2, 2), es), QStringLiteral("ab"));
    QCOMPARE(textoCelda(h.celda(2, 3), es), QStringLiteral("True"));
    QCOMPARE(textoCelda(h.celda(2, 4), es), QStringLiteral("Error 2007"));
    QCOMPARE(h.celda(2, 5).tipo, TipoCelda::Vacia);
    QCOMPARE(textoCelda(h.celda(2, 6), es), QString());
    QCOMPARE(textoCelda(h.celda(2, 7), es), QStringLiteral("1500"));
    QCOMPARE(textoCelda(h.celda(2, 8), es), QStringLiteral("0"));
    // t="d": ISO dates, a date the sheet cannot hold stays as written.
    QCOMPARE(
        textos(h, es, 3, 3, 10),
        QStringLiteral("3,1=15/03/2024|3,2=15/03/2024 13:45:30|3,3=10:30:00|3,4=01/01/1900|3,5=1800-01-01"));
    // Styles: custom date code, quoted text, elapsed time, built-in 22, the 1900 leap day, a
    // negative date serial, a style index beyond the list, a time.
    QCOMPARE(textos(h, es, 4, 4, 10),
             QStringLiteral(
                 "4,1=15/03/2024|4,2=45366|4,3=01/01/1900 06:00:00|4,4=15/03/2024 12:00:00|4,5=29/02/1900|"
                 "4,6=01/03/1900|4,7=01/01/1900|4,8=-1|4,9=45366|4,10=18:00:00"));
}

void TstLectorXlsx::cadenas() {
    const Hoja h = leerXlsx(fixture(QStringLiteral("cadenas.xlsx")));
    const QLocale es(QStringLiteral("es_AR"));
    const QString esperados[2][5] = {
        {QStringLiteral("simple"), QStringLiteral("Uno Dos"), QStringLiteral("東京"),
         QStringLiteral("A\nB & <C>"), QStringLiteral("  blancos  ")},
        {QStringLiteral(" en línea "), QStringLiteral("rico en línea"), QStringLiteral("uno\rdos"),
         QStringLiteral("_x0041_ y \U0001F600"), QString()}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 5; ++j)
            QCOMPARE(textoCelda(h.celda(i + 1, j + 1), es), esperados[i][j]);
    QCOMPARE(h.celda(2, 5).tipo, TipoCelda::Texto); // an empty shared string is a text
}

void TstLectorXlsx::sinReferencias() {
    const Hoja h = leerXlsx(fixture(QStringLiteral("sin_referencias.xlsx")));
    QCOMPARE(textos(h, QLocale(QStringLiteral("es_AR")), 1, 7, 7),
             QStringLiteral("1,1=a1|1,2=2|1,5=5|1,6=6|2,1=21|5,1=51|5,3=53|6,2=62"));
}

void TstLectorXlsx::espaciosDeNombres() {
    const QLocale es(QStringLiteral("es_AR"));
    // Prefixed main namespace; a "c" of another namespace is not a cell.
    QCOMPARE(textos(leerXlsx(fixture(QStringLiteral("prefijado.xlsx"))), es, 1, 3, 4),
             QStringLiteral("1,1=con prefijo|1,3=3,5"));
    // Strict namespaces and relationship types; its workbook counts dates from 1904.
    QCOMPARE(textos(leerXlsx(fixture(QStringLiteral("estricto.xlsx"))), es, 1, 3, 4),
             QStringLiteral("1,1=estricto|1,2=01/01/1904|1,3=2,25"));
}

void TstLectorXlsx::codificaciones() {
    const QLocale es(QStringLiteral("es_AR"));
    QCOMPARE(textos(leerXlsx(fixture(QStringLiteral("utf16.xlsx"))), es, 1, 2, 3),
             QStringLiteral("1,1=Ñandú 東京|1,2=1,5"));
    QCOMPARE(textos(leerXlsx(fixture(QStringLiteral("latin1.xlsx"))), es, 1, 2, 3),
             QStringLiteral("1,1=Ñandú|1,2=1,5"));
}

void TstLectorXlsx::rutasPorRelaciones() {
    // Workbook at an unusual path, first <sheet> a chart sheet, "..", %20 and absolute targets.
    QCOMPARE(textos(leerXlsx(fixture(QStringLiteral("rutas_propias.xlsx"))), QLocale(QStringLiteral("es_AR")),
                    1, 2, 2),
             QStringLiteral("1,1=la segunda del archivo, la primera del libro"));
}

void TstLectorXlsx::formatosDeFecha() {
    using xlsx::esFormatoFecha;
    for (const char* si : {"dd/mm/yyyy", "m/d/yy h:mm", "[h]:mm:ss", "[mm]:ss", "hh:mm AM/PM", "yyyy",
                           "[$-409]d-mmm", "[Red]dd/mm", "\"Fecha\" d"})
        QVERIFY2(esFormatoFecha(si), si);
    for (const char* no : {"General", "0.00", "#,##0.00 \"días\"", "[Red]0.00;[Blue]-0.00", "0%", "@",
                           "0.00E+00", "\\d0", "_m0", "*s0", "[$USD] 0.00", "\"dd\"\"mm\""})
        QVERIFY2(!esFormatoFecha(no), no);
    QVERIFY(xlsx::esFormatoFechaIntegrado(14) && xlsx::esFormatoFechaIntegrado(22) &&
            xlsx::esFormatoFechaIntegrado(47));
    QVERIFY(!xlsx::esFormatoFechaIntegrado(0) && !xlsx::esFormatoFechaIntegrado(23) &&
            !xlsx::esFormatoFechaIntegrado(49));
}

void TstLectorXlsx::referencias() {
    int f = 0, c = 0;
    QVERIFY(xlsx::referenciaCelda("A1", &f, &c) && f == 1 && c == 1);
    QVERIFY(xlsx::referenciaCelda("XFD1048576", &f, &c) && f == Hoja::kMaxFilas && c == Hoja::kMaxColumnas);
    QVERIFY(xlsx::referenciaCelda("AA", &f, &c) && f == 0 && c == 27);
    QVERIFY(xlsx::referenciaCelda("XFE1", &f, &c) && c > Hoja::kMaxColumnas);
    QVERIFY(xlsx::referenciaCelda("A99999999999", &f, &c) && f > Hoja::kMaxFilas);
    QVERIFY(xlsx::referenciaCelda("ZZZZZZZZZZZZ1", &f, &c) && c > Hoja::kMaxColumnas);
    for (const char* mal : {"", "1A", "A0", "A1B", "$A$1", "A-1"})
        QVERIFY2(!xlsx::referenciaCelda(mal, &f, &c), mal);
}

void TstLectorXlsx::fechasIso() {
    double s = 0;
    QVERIFY(xlsx::serialIso("2024-03-15", &s) && s == 45366.0);
    QVERIFY(xlsx::serialIso("2024-03-15T12:00:00.000+03:00", &s) && s == 45366.5);
    QVERIFY(xlsx::serialIso("1900-02-28", &s) && s == 59.0);
    QVERIFY(xlsx::serialIso("1900-03-01", &s) && s == 61.0);
    QVERIFY(xlsx::serialIso("06:00:00", &s) && s == 0.25);
    for (const char* mal : {"2024-02-30", "1899-12-29", "15/03/2024", "2024-03-15X", "25:00:00", "12"})
        QVERIFY2(!xlsx::serialIso(mal, &s), mal);
}

void TstLectorXlsx::destinos() {
    QCOMPARE(xlsx::resolverDestino("xl/workbook.xml", "worksheets/sheet1.xml"),
             std::string("xl/worksheets/sheet1.xml"));
    QCOMPARE(xlsx::resolverDestino("xl/workbook.xml", "/xl/styles.xml"), std::string("xl/styles.xml"));
    QCOMPARE(xlsx::resolverDestino("a/b/c.xml", "../../d%20e.xml"), std::string("d e.xml"));
    QCOMPARE(xlsx::resolverDestino("", "xl/./workbook.xml"), std::string("xl/workbook.xml"));
    QCOMPARE(xlsx::resolverDestino("x.xml", "../../../fuera.xml"), std::string("fuera.xml"));
}

void TstLectorXlsx::hojaConTextosAparte() {
    // Cells of shared strings refer to them; texts of their own put over one another, or over a
    // shared string, never change another cell's text.
    Hoja h;
    h.adoptarCompartidas({QStringLiteral("a"), QStringLiteral("b")});
    h.compartida(1, 1, 0);
    h.poner(1, 1, Celda{TipoCelda::Texto, 0.0, QStringLiteral("x")});
    h.compartida(2, 2, 1);
    h.poner(1, 2, Celda{TipoCelda::Texto, 0.0, QStringLiteral("y")});
    h.compartida(1, 1, 1);
    h.poner(1, 3, Celda{TipoCelda::Texto, 0.0, QStringLiteral("z")});
    h.poner(1, 2, Celda{TipoCelda::Numero, 7.5, {}});
    h.poner(3, 1, Celda{TipoCelda::Texto, 0.0, QStringLiteral("w")});
    h.poner(3, 1, Celda{TipoCelda::Texto, 0.0, QStringLiteral("v")});
    h.poner(2, 1, Celda{TipoCelda::Booleano, 0.0, {}, true});
    h.poner(2, 3, Celda{TipoCelda::Error, 0.0, {}, false, 0x2A});
    QCOMPARE(textos(h, QLocale(QStringLiteral("es_AR")), 1, 3, 3),
             QStringLiteral("1,1=b|1,2=7,5|1,3=z|2,1=True|2,2=b|2,3=Error 2042|3,1=v"));
    h.compartida(3, 2, 0);
    QCOMPARE(h.celda(3, 2).texto, QStringLiteral("a"));
    QCOMPARE(h.celda(3, 1).texto, QStringLiteral("v"));
    QCOMPARE(h.fila(1).size(), std::size_t(3));
    QCOMPARE(h.celda(4, 1).tipo, TipoCelda::Vacia);
}

QTEST_GUILESS_MAIN(TstLectorXlsx)
#include "tst_lectorxlsx.moc"
