#include "components/clbase.h"
#include "pipeline/correcciones.h"
#include "programa.h"

#include <QTest>

using namespace tarvix;

// The corrections by hand carried over to the lines of a new run, on the working database's rows.
class TstCorrecciones : public QObject {
    Q_OBJECT
private slots:
    void conservar_data();
    void conservar();
    void textos();
};

namespace {

// An article line: interno, order, article, brand, quantity, total, position and state.
void linea(prueba::Programa& p, const QString& interno, int orden, const QString& articulo,
           const QString& marca, double cantidad, double total, const QString& posicion,
           const QString& estado) {
    p.ejecutar(
        QStringLiteral("insert into ART (INTNRO, ARTORD, ARTNRO, MARCA, ARTCAN, ARTTOT, PRCNCM, PRCCAN, "
                       "PRCEST, PRCCRC) values ('%1', %2, '%3', %4, %5, %6, '%7', %5, '%8', '%9')")
            .arg(interno)
            .arg(orden)
            .arg(articulo, marca.isNull() ? QStringLiteral("null") : QStringLiteral("'%1'").arg(marca))
            .arg(cantidad)
            .arg(total)
            .arg(posicion, estado, estado == u"M" ? QStringLiteral("OK") : QStringLiteral("POS")));
}

} // namespace

void TstCorrecciones::conservar_data() {
    QTest::addColumn<QString>("marcaNueva");
    QTest::addColumn<double>("cantidadNueva");
    QTest::addColumn<double>("totalNuevo");
    QTest::addColumn<QString>("esperado"); // PRCNCM, PRCCAN, PRCEST and PRCCRC of the new line
    // The corrected line: article A1, brand "Acme", 10 for 100, position 8301.10.00.000P.
    QTest::newRow("igual") << QStringLiteral("ACME") << 10.0 << 100.0
                           << QStringLiteral("8301.10.00.000P 10 M OK");
    QTest::newRow("marca con blancos")
        << QStringLiteral("  acme ") << 10.0 << 100.0 << QStringLiteral("8301.10.00.000P 10 M OK");
    QTest::newRow("otra cantidad") << QStringLiteral("ACME") << 12.0 << 100.0
                                   << QStringLiteral("8301.10.00.000P 12 M REV");
    QTest::newRow("otro total") << QStringLiteral("ACME") << 10.0 << 100.5
                                << QStringLiteral("8301.10.00.000P 10 M REV");
    QTest::newRow("otra marca") << QStringLiteral("ACMEX") << 10.0 << 100.0
                                << QStringLiteral("9999 10 1 POS");
    QTest::newRow("sin marca") << QString() << 10.0 << 100.0 << QStringLiteral("9999 10 1 POS");
}

void TstCorrecciones::conservar() {
    QFETCH(QString, marcaNueva);
    QFETCH(double, cantidadNueva);
    QFETCH(double, totalNuevo);
    QFETCH(QString, esperado);
    prueba::Programa p(prueba::Programa::Opciones().sinPasos());
    Velno::clBase& base = p.trabajo();
    linea(p, QStringLiteral("I1"), 1, QStringLiteral("A1"), QStringLiteral("Acme"), 10, 100,
          QStringLiteral("8301.10.00.000P"), QStringLiteral("M"));
    // A second correction of the same article and brand: the first in line order counts.
    linea(p, QStringLiteral("I1"), 2, QStringLiteral("a1"), QStringLiteral("ACME"), 10, 100,
          QStringLiteral("7318.15.00.000X"), QStringLiteral("M"));
    linea(p, QStringLiteral("I1"), 3, QStringLiteral("B1"), QString(), 1, 1, QStringLiteral("1111"),
          QStringLiteral("M"));
    QCOMPARE(*correcciones::pregunta(base, QStringLiteral("I1")),
             QStringLiteral("El interno tiene 3 líneas corregidas a mano. ¿Conservar las correcciones en las "
                            "líneas del mismo artículo?"));
    const auto corregidas = correcciones::leer(base, QStringLiteral("I1"));
    QCOMPARE(corregidas.size(), size_t(2));

    // The run replaces the lines; another interno with the same article is left alone.
    p.ejecutar(QStringLiteral("delete from ART"));
    linea(p, QStringLiteral("I1"), 1, QStringLiteral("A1"), marcaNueva, cantidadNueva, totalNuevo,
          QStringLiteral("9999"), QStringLiteral("1"));
    linea(p, QStringLiteral("I2"), 1, QStringLiteral("A1"), QStringLiteral("ACME"), 10, 100,
          QStringLiteral("9999"), QStringLiteral("1"));
    const auto r = correcciones::aplicar(base, QStringLiteral("I1"), corregidas);
    const auto sql = [](const QString& interno) {
        return QStringLiteral("select PRCNCM || ' ' || cast(PRCCAN as integer) || ' ' || PRCEST || ' ' || "
                              "PRCCRC from ART where "
                              "INTNRO = '%1'")
            .arg(interno);
    };
    QCOMPARE(p.valor(sql(QStringLiteral("I1"))), esperado);
    QCOMPARE(p.valor(sql(QStringLiteral("I2"))), QStringLiteral("9999 10 1 POS"));
    QCOMPARE(r.conservadas, esperado.endsWith(u"POS") ? 0 : 1);
    QCOMPARE(r.aRevisar, esperado.endsWith(u"REV") ? 1 : 0);
    QVERIFY(!correcciones::pregunta(base, QStringLiteral("I2")));
}

void TstCorrecciones::textos() {
    QCOMPARE(correcciones::textoResultado({1, 0}),
             QStringLiteral("Se conservaron las correcciones en 1 línea"));
    QCOMPARE(correcciones::textoResultado({40, 2}),
             QStringLiteral("Se conservaron las correcciones en 40 líneas; 2 cambiaron de cantidad o total y "
                            "quedaron para revisar"));
    prueba::Programa p(prueba::Programa::Opciones().sinPasos());
    linea(p, QStringLiteral("I1"), 1, QStringLiteral("A1"), QString(), 1, 1, QStringLiteral("1"),
          QStringLiteral("M"));
    QVERIFY(correcciones::pregunta(p.trabajo(), QStringLiteral("I1"))
                ->startsWith(QStringLiteral("El interno tiene 1 línea corregida a mano. ")));
}

QTEST_GUILESS_MAIN(TstCorrecciones)
#include "tst_correcciones.moc"
