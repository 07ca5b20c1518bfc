#include "components/vb.h"
#include "components/vberror.h"
#include "testsupport.h"

#include <QTest>

using namespace tarvix;

class TstVb : public QObject {
    Q_OBJECT
private slots:
    void cstr_data();
    void cstr();
    void format_data();
    void format();
    void esNumero_data();
    void esNumero();
    void numeroSql();
    void fechas();
    void textos();
    void divisionPorCero();
    void comillas();
    void informes();
};

void TstVb::cstr_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("texto");
    QTest::newRow("ar entero") << "es_AR" << 100.0 << "100";
    QTest::newRow("us entero") << "en_US" << 100.0 << "100";
    QTest::newRow("ar decimal") << "es_AR" << 1234.5 << "1234,5";
    QTest::newRow("us decimal") << "en_US" << 1234.5 << "1234.5";
    QTest::newRow("ar sin agrupar") << "es_AR" << 1234567.891 << "1234567,891";
    QTest::newRow("15 cifras") << "es_AR" << 0.1 + 0.2 << "0,3";
    QTest::newRow("negativo") << "es_AR" << -2.25 << "-2,25";
    QTest::newRow("pequeno") << "es_AR" << 0.0001 << "0,0001";
    QTest::newRow("exponente negativo") << "es_AR" << 0.000015 << "1,5E-05";
    QTest::newRow("exponente negativo us") << "en_US" << -0.00001 << "-1E-05";
    QTest::newRow("grande") << "en_US" << 123456789012345.0 << "123456789012345";
    QTest::newRow("exponente positivo") << "en_US" << 1e15 << "1E+15";
    QTest::newRow("exponente con decimales") << "es_AR" << 1.25e20 << "1,25E+20";
    QTest::newRow("cero") << "es_AR" << 0.0 << "0";
}

void TstVb::cstr() {
    QFETCH(QString, locale);
    QFETCH(double, valor);
    QFETCH(QString, texto);
    prueba::LocaleFijo l(locale);
    QCOMPARE(vb::CStr(valor), texto);
}

void TstVb::format_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("patron");
    QTest::addColumn<QString>("texto");
    QTest::newRow("dos decimales ar") << "es_AR" << 12.5 << "00.00"
                                      << "12,50";
    QTest::newRow("dos decimales us") << "en_US" << 12.5 << "00.00"
                                      << "12.50";
    QTest::newRow("relleno entero") << "es_AR" << 5.0 << "00.00"
                                    << "05,00";
    QTest::newRow("cero") << "es_AR" << 0.0 << "00.00"
                          << "00,00";
    QTest::newRow("redondeo hacia arriba") << "en_US" << 2.675 << "00.00"
                                           << "02.68";
    QTest::newRow("redondeo mitad") << "en_US" << 0.125 << "00.00"
                                    << "00.13";
    QTest::newRow("acarreo") << "en_US" << 99.999 << "00.00"
                             << "100.00";
    QTest::newRow("cinco decimales") << "es_AR" << 100.0 / 4.54 << "00.00000"
                                     << "22,02643";
    QTest::newRow("negativo") << "en_US" << -5.5 << "00.00"
                              << "-05.50";
    QTest::newRow("negativo que redondea a cero") << "en_US" << -0.001 << "00.00"
                                                  << "00.00";
    QTest::newRow("seis digitos") << "es_AR" << 12.0 << "000000"
                                  << "000012";
    QTest::newRow("seis digitos redondea") << "es_AR" << 12.5 << "000000"
                                           << "000013";
    QTest::newRow("cuatro digitos") << "es_AR" << 7.0 << "0000"
                                    << "0007";
    QTest::newRow("cuatro decimales") << "en_US" << 1.0 << "00.0000"
                                      << "01.0000";
    QTest::newRow("mas digitos que el patron") << "en_US" << 123456.0 << "0000"
                                               << "123456";
}

void TstVb::format() {
    QFETCH(QString, locale);
    QFETCH(double, valor);
    QFETCH(QString, patron);
    QFETCH(QString, texto);
    prueba::LocaleFijo l(locale);
    QCOMPARE(vb::Format(valor, patron), texto);
}

void TstVb::esNumero_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("numerico");
    QTest::addColumn<double>("valor");
    QTest::newRow("coma ar") << "es_AR"
                             << "12,5" << true << 12.5;
    QTest::newRow("punto us") << "en_US"
                              << "12.5" << true << 12.5;
    QTest::newRow("blancos") << "es_AR"
                             << "  7 " << true << 7.0;
    QTest::newRow("miles ar") << "es_AR"
                              << "1.234,5" << true << 1234.5;
    QTest::newRow("miles us") << "en_US"
                              << "1,234.5" << true << 1234.5;
    QTest::newRow("punto decimal bajo ar") << "es_AR"
                                           << "12.5" << true << 12.5;
    QTest::newRow("negativo") << "es_AR"
                              << "-3" << true << -3.0;
    QTest::newRow("exponente") << "en_US"
                               << "1E+3" << true << 1000.0;
    QTest::newRow("vacio") << "es_AR"
                           << "" << false << 0.0;
    QTest::newRow("texto") << "es_AR"
                           << "abc" << false << 0.0;
    QTest::newRow("numero y texto") << "en_US"
                                    << "12 kg" << false << 0.0;
    QTest::newRow("infinito") << "en_US"
                              << "inf" << false << 0.0;
}

void TstVb::esNumero() {
    QFETCH(QString, locale);
    QFETCH(QString, texto);
    QFETCH(bool, numerico);
    QFETCH(double, valor);
    prueba::LocaleFijo l(locale);
    double v = -99;
    QCOMPARE(vb::EsNumero(texto, &v), numerico);
    if (numerico)
        QCOMPARE(v, valor);
    if (!numerico)
        QVERIFY_THROWS_EXCEPTION(VbError, vb::CDbl(texto));
}

void TstVb::numeroSql() {
    for (const char* loc : {"es_AR", "en_US"}) {
        prueba::LocaleFijo l(QString::fromLatin1(loc));
        QCOMPARE(vb::NumeroSql(1234.5), QStringLiteral("1234.5"));
        QCOMPARE(vb::PuntoDecimal(vb::Format(22.045855, QStringLiteral("00.00000"))),
                 QStringLiteral("22.04586"));
    }
    double v = 0;
    QVERIFY(vb::EsNumero(QVariant(3), &v));
    QCOMPARE(v, 3.0);
    QVERIFY(!vb::EsNumero(QVariant()));
    QVERIFY(vb::EsNumero(QVariant(true), &v));
    QCOMPARE(v, -1.0);
}

void TstVb::fechas() {
    {
        prueba::LocaleFijo l(QStringLiteral("es_AR"));
        QCOMPARE(vb::TextoFecha(QDate(2024, 3, 5)), QStringLiteral("5/3/2024"));
        QDateTime dt;
        QVERIFY(vb::EsFecha(QStringLiteral("05/03/2024"), &dt));
        QCOMPARE(dt.date(), QDate(2024, 3, 5));
        QVERIFY(vb::EsFecha(QStringLiteral("5/3/2024 13:45:00"), &dt));
        QCOMPARE(dt.time(), QTime(13, 45));
        QVERIFY(!vb::EsFecha(QStringLiteral("31/02/2024")));
        QVERIFY(!vb::EsFecha(QStringLiteral("")));
        QVERIFY(!vb::EsFecha(QStringLiteral("abc")));
    }
    {
        prueba::LocaleFijo l(QStringLiteral("en_US"));
        QCOMPARE(vb::TextoFecha(QDate(2024, 3, 5)), QStringLiteral("3/5/2024"));
        QDateTime dt;
        QVERIFY(vb::EsFecha(QStringLiteral("3/5/2024"), &dt));
        QCOMPARE(dt.date(), QDate(2024, 3, 5));
        QVERIFY(vb::EsFecha(QStringLiteral("2024-03-05"), &dt));
        QVERIFY(!vb::EsFecha(QStringLiteral("13/5/2024")));
    }
}

void TstVb::textos() {
    QCOMPARE(vb::Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    QCOMPARE(vb::Trim(QStringLiteral("\ta\t")), QStringLiteral("\ta\t")); // only blanks
    QCOMPARE(vb::Mid(QStringLiteral("abcdef"), 3), QStringLiteral("cdef"));
    QCOMPARE(vb::Mid(QStringLiteral("abcdef"), 2, 3), QStringLiteral("bcd"));
    QCOMPARE(vb::Mid(QStringLiteral("abc"), 5), QString());
    QVERIFY_THROWS_EXCEPTION(VbError, vb::Mid(QStringLiteral("abc"), 0));
    QCOMPARE(vb::Left(QStringLiteral("abc"), 5), QStringLiteral("abc"));
    QCOMPARE(vb::InStr(1, QStringLiteral("AA(X)-"), QStringLiteral("(")), 3);
    QCOMPARE(vb::InStr(4, QStringLiteral("AA(X)-"), QStringLiteral("(")), 0);
    QCOMPARE(vb::UCase(QStringLiteral("ñandú")), QStringLiteral("ÑANDÚ"));
}

void TstVb::divisionPorCero() {
    try {
        vb::Dividir(1, 0);
        QFAIL("sin error");
    } catch (const VbError& e) {
        QCOMPARE(e.numero(), 11);
        QCOMPARE(e.descripcion(), QStringLiteral("División por cero"));
    }
    QCOMPARE(vb::Dividir(100, 4), 25.0);
}

void TstVb::comillas() {
    QCOMPARE(vb::SqlTexto(QStringLiteral("D'ANGELO")), QStringLiteral("'D''ANGELO'"));
    QCOMPARE(vb::DoblarComillas(QStringLiteral("''")), QStringLiteral("''''"));
    QCOMPARE(vb::ComillasABlancos(QStringLiteral("D'AN'")), QStringLiteral("D AN "));
}

void TstVb::informes() {
    const VbError e(3021, QStringLiteral("ADODB"), QStringLiteral("Sin registro"));
    QCOMPARE(prueba::visible(informeNumerado(e, QStringLiteral("frmMain.Form_Load"), 60)),
             QStringLiteral("Sin registro\\r\\n\\r\\n3021 - seccion[VezezirAZEDO2_TARVIX.frmMain.Form_Load "
                            "Linea 60 ]::ADODB"));
    QCOMPARE(
        prueba::visible(informeCorto(e, QStringLiteral("frmMain.FRAM1_CargarInternos"))),
        QStringLiteral(
            "Sin registro\\r\\n\\r\\n3021 - seccion [VezezirAZEDO2_TARVIX.frmMain.FRAM1_CargarInternos]"));
    QCOMPARE(prueba::visible(informeSinEtiqueta(e)), QStringLiteral("Sin registro\\r\\n\\r\\n3021"));
}

QTEST_GUILESS_MAIN(TstVb)
#include "tst_vb.moc"
