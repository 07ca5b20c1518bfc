#include "intake/carga/grilla.h"
#include "intake/encabezados.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

using namespace tarvix;

namespace {

// The five fields the verification requires.
const QStringList kRequeridos{QStringLiteral("[ ARTICULO ]"), QStringLiteral("[ DESCRIPC ]"),
                              QStringLiteral("[ CANTIDAD ]"), QStringLiteral("[ TOTAL ]"),
                              QStringLiteral("[ ORIGEN ]")};

struct Disposicion {
    QString nombre;
    QStringList encabezados;
    QStringList esperadas; // label per column, empty for none
    std::vector<QStringList> lineas;
};

// A grid as a load leaves it: headers in row 0, the empty field row, the lines. A cell that is a
// plain number is shown in the current locale, as the grid shows a numeric cell; a cell between
// double quotes is text and stays as written.
void llenar(ModeloGrilla& g, const QStringList& encabezados, const std::vector<QStringList>& lineas) {
    g.setCols(static_cast<int>(encabezados.size()));
    g.setRows(static_cast<int>(lineas.size()) + 2);
    for (int c = 0; c < encabezados.size(); ++c)
        g.setTextMatrix(0, c, QString(encabezados[c]).replace(QStringLiteral("\\n"), QStringLiteral("\n")));
    for (int l = 0; l < static_cast<int>(lineas.size()); ++l)
        for (int c = 0; c < lineas[l].size() && c < encabezados.size(); ++c) {
            QString t = lineas[l][c];
            bool numero = false;
            const double v = QLocale::c().toDouble(t, &numero);
            if (numero)
                t = QLocale().toString(v, 'g', 15);
            else if (t.size() > 1 && t.startsWith(u'"') && t.endsWith(u'"'))
                t = t.mid(1, t.size() - 2);
            g.setTextMatrix(l + 2, c, t);
        }
}

std::vector<Disposicion> leerDisposiciones() {
    QFile f(QStringLiteral(TARVIX_FIXTURES_DIR "/encabezados/disposiciones.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    std::vector<Disposicion> r;
    for (const QString& linea : QString::fromUtf8(f.readAll()).split(u'\n')) {
        if (linea.isEmpty() || linea.startsWith(u'#'))
            continue;
        if (linea.startsWith(QStringLiteral("= "))) {
            r.push_back({linea.mid(2), {}, {}, {}});
            continue;
        }
        QStringList celdas = linea.split(u'\t');
        const QString tipo = celdas.takeFirst();
        if (tipo == u"H") {
            r.back().encabezados = celdas;
        } else if (tipo == u"E") {
            for (const QString& e : celdas)
                r.back().esperadas << (e == u"-" ? QString() : QStringLiteral("[ %1 ]").arg(e));
        } else {
            celdas.prepend(tipo);
            r.back().lineas.push_back(celdas);
        }
    }
    return r;
}

} // namespace

class TstEncabezados : public QObject {
    Q_OBJECT
private slots:
    void normalizar_data();
    void normalizar();
    void leerNumero_data();
    void leerNumero();
    void disposicionesDeProveedores_data();
    void disposicionesDeProveedores();
    void casos_data();
    void casos();
};

void TstEncabezados::normalizar_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("normal");
    QTest::newRow("apóstrofo") << "Q'ty"
                               << "qty";
    QTest::newRow("puntos") << "N.W."
                            << "nw";
    QTest::newRow("acentos y eñe") << "Descripción  Año"
                                   << "descripcionano";
    QTest::newRow("salto de línea") << "QUANTITY\n(PCS)"
                                    << "quantitypcs";
    QTest::newRow("ordinal") << "N° / Nº"
                             << "nn";
    QTest::newRow("alemán") << "Stückpreis, Größe"
                            << "stuckpreisgrosse";
    QTest::newRow("francés") << "Pays d’origine"
                             << "paysdorigine";
    QTest::newRow("solo signos") << " # - "
                                 << "";
}

void TstEncabezados::normalizar() {
    QFETCH(QString, texto);
    QFETCH(QString, normal);
    QCOMPARE(encabezados::normalizar(texto), normal);
}

void TstEncabezados::leerNumero_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("esNumero");
    QTest::addColumn<double>("valor");
    for (const char* loc : {"es_AR", "en_US"}) {
        const QString l = QString::fromLatin1(loc);
        const bool ar = l == u"es_AR";
        auto fila = [&](const char* nombre) -> QTestData& {
            return QTest::addRow("%s %s", loc, nombre) << l;
        };
        fila("propio decimal") << (ar ? "12,5" : "12.5") << true << 12.5;
        fila("otro separador: decimal") << (ar ? "12.50" : "12,50") << true << 12.5;
        fila("otro separador: miles") << (ar ? "1.500" : "1,500") << true << 1500.0;
        fila("ambos, miles y decimal") << (ar ? "1.234.567,25" : "1,234,567.25") << true << 1234567.25;
        fila("moneda delante") << "US$ 15,000.00" << true << 15000.0;
        fila("moneda detrás") << (ar ? "12,50 €" : "12.50 €") << true << 12.5;
        fila("exponente") << (ar ? "1,5E-05" : "1.5E-05") << true << 1.5e-5;
        fila("negativo") << "-40" << true << -40.0;
        fila("código con letras") << "AB-123" << false << 0.0;
        fila("unidad") << "PCS" << false << 0.0;
        fila("palabra y número") << "Bearing 6204" << false << 0.0;
        fila("medida") << "1/2" << false << 0.0;
        fila("vacío") << "  " << false << 0.0;
    }
}

void TstEncabezados::leerNumero() {
    QFETCH(QString, locale);
    QFETCH(QString, texto);
    QFETCH(bool, esNumero);
    QFETCH(double, valor);
    double v = 0;
    QCOMPARE(encabezados::leerNumero(texto, v, QLocale(locale)), esNumero);
    if (esNumero)
        QCOMPARE(v, valor);
}

void TstEncabezados::disposicionesDeProveedores_data() {
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_AR") << "es_AR";
    QTest::newRow("en_US") << "en_US";
}

// The layouts of many suppliers: every proposed label as expected, and the share of the required
// fields that are right, wrong and missing (a wrong one fails the test).
void TstEncabezados::disposicionesDeProveedores() {
    QFETCH(QString, locale);
    const prueba::LocaleFijo fijo(locale);
    const std::vector<Disposicion> disposiciones = leerDisposiciones();
    QVERIFY(disposiciones.size() >= 30);
    // Each required field of each layout: proposed in its column, proposed elsewhere, or not at all.
    int bien = 0, mal = 0, faltan = 0;
    for (const Disposicion& d : disposiciones) {
        QCOMPARE(d.esperadas.size(), d.encabezados.size());
        ModeloGrilla g;
        llenar(g, d.encabezados, d.lineas);
        const std::vector<QString> propuesta = encabezados::proponer(g);
        for (int c = 0; c < d.encabezados.size(); ++c)
            QVERIFY2(propuesta[static_cast<size_t>(c)] == d.esperadas[c],
                     qPrintable(QStringLiteral("%1, columna «%2»: «%3» en lugar de «%4»")
                                    .arg(d.nombre, d.encabezados[c], propuesta[static_cast<size_t>(c)],
                                         d.esperadas[c])));
        for (const QString& r : kRequeridos) {
            const auto dada = std::find(propuesta.begin(), propuesta.end(), r);
            if (dada == propuesta.end())
                ++faltan;
            else if (d.esperadas.value(static_cast<int>(dada - propuesta.begin())) == r)
                ++bien;
            else
                ++mal;
        }
    }
    qInfo("%d disposiciones, %d campos requeridos: %d bien, %d mal, %d sin proponer",
          static_cast<int>(disposiciones.size()), bien + mal + faltan, bien, mal, faltan);
    QCOMPARE(mal, 0);
}

void TstEncabezados::casos_data() {
    QTest::addColumn<QStringList>("encabezados");
    QTest::addColumn<QStringList>("linea1");
    QTest::addColumn<QStringList>("linea2");
    QTest::addColumn<QStringList>("esperadas");
    using prueba::lista;
    QTest::newRow("cantidad que no es número no se propone")
        << lista({"Code", "Qty"}) << lista({"A", "ten"}) << lista({"B", "five"})
        << lista({"[ ARTICULO ]", ""});
    QTest::newRow("descripción numérica no se propone")
        << lista({"Code", "Description"}) << lista({"A", "10"}) << lista({"B", "20"})
        << lista({"[ ARTICULO ]", ""});
    QTest::newRow("columna de países sin encabezado conocido con códigos: no")
        << lista({"Code", "X"}) << lista({"A", "KG"}) << lista({"B", "CN"}) << lista({"[ ARTICULO ]", ""});
    QTest::newRow("dos columnas de países sin encabezado: ninguna")
        << lista({"Desde", "Hacia"}) << lista({"China", "Argentina"}) << lista({"Japan", "Chile"})
        << lista({"", ""});
    QTest::newRow("unidad numérica no es unidad")
        << lista({"Unit", "Qty"}) << lista({"2.5", "3"}) << lista({"4", "1"}) << lista({"", "[ CANTIDAD ]"});
    QTest::newRow("código del proveedor y del cliente sin catálogo: ninguno")
        << lista({"Supplier Ref.", "Customer Code"}) << lista({"ZD-1", "TX1"}) << lista({"ZD-2", "TX2"})
        << lista({"", ""});
    QTest::newRow("posiciones de diez en diez no son el artículo")
        << lista({"Item", "Part No."}) << lista({"10", "X-1"}) << lista({"20", "X-2"})
        << lista({"", "[ ARTICULO ]"});
    QTest::newRow("códigos seguidos bajo «Código» son códigos")
        << lista({"Código", "Item"}) << lista({"1001", "31"}) << lista({"1002", "32"})
        << lista({"[ ARTICULO ]", ""});
    QTest::newRow("artículo de una línea que es 1 no se propone")
        << lista({"Item", "Amount"}) << lista({"1", "10"}) << lista({"", ""}) << lista({"", "[ TOTAL ]"});
}

void TstEncabezados::casos() {
    QFETCH(QStringList, encabezados);
    QFETCH(QStringList, linea1);
    QFETCH(QStringList, linea2);
    QFETCH(QStringList, esperadas);
    const prueba::LocaleFijo fijo(QStringLiteral("en_US"));
    std::vector<QStringList> lineas{linea1};
    if (!linea2.join(QString()).isEmpty())
        lineas.push_back(linea2);
    ModeloGrilla g;
    llenar(g, encabezados, lineas);
    const std::vector<QString> p = encabezados::proponer(g);
    QCOMPARE(QStringList(p.begin(), p.end()), esperadas);
}

QTEST_GUILESS_MAIN(TstEncabezados)
#include "tst_encabezados.moc"
