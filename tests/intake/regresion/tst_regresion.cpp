// Workbooks that once made a reader or the cell formatter fail, read through the spreadsheet
// wrapper as the program reads an invoice.
#include "intake/clecxel.h"
#include "testsupport.h"

#include <QTest>

using tarvix::clEcxel;

class TstRegresion : public QObject {
    Q_OBJECT
private slots:
    void numerosSubnormales_data();
    void numerosSubnormales();
    void estiloDesbordado_data() { numerosSubnormales_data(); }
    void estiloDesbordado();
};

void TstRegresion::numerosSubnormales_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("decimal");
    QTest::newRow("es_AR") << QStringLiteral("es_AR") << QStringLiteral(",");
    QTest::newRow("en_US") << QStringLiteral("en_US") << QStringLiteral(".");
}

void TstRegresion::numerosSubnormales() {
    QFETCH(QString, locale);
    QFETCH(QString, decimal);
    // Values below the smallest normal double carry fewer than 15 significant digits, so their
    // shortest form ("3.22857E-319") is not the 15-digit rounding the cell shows.
    static const char* const kTextos[] = {"3.22857077587879E-319", "4.94065645841247E-324",
                                          "2.2250738585072E-308", "-1.23456789012346E-310",
                                          "2.2250738585072E-308"};
    const prueba::LocaleFijo fijo(locale);
    clEcxel excel;
    excel.setArchivo(QStringLiteral(TARVIX_FIXTURES_DIR "/regresion/numeros_subnormales.xlsx"));
    QVERIFY(excel.Abrir());
    for (int columna = 1; columna <= int(std::size(kTextos)); ++columna)
        QCOMPARE(excel.LeerCelda(1, columna),
                 QString::fromLatin1(kTextos[columna - 1]).replace(u'.', decimal));
}

void TstRegresion::estiloDesbordado() {
    QFETCH(QString, locale);
    // A cell format index of 30 digits overflowed while it was read: it now stands for no format
    // the workbook has, and the cell is the plain number it holds.
    const prueba::LocaleFijo fijo(locale);
    clEcxel excel;
    excel.setArchivo(QStringLiteral(TARVIX_FIXTURES_DIR "/regresion/estilo_desbordado.xlsx"));
    QVERIFY(excel.Abrir());
    QCOMPARE(excel.LeerCelda(2, 5), QStringLiteral("45235"));
    QCOMPARE(excel.LeerCelda(2, 4), QStringLiteral("50"));
}

QTEST_GUILESS_MAIN(TstRegresion)
#include "tst_regresion.moc"
