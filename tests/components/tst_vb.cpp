#include "components/vb.h"
#include "components/vberror.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <limits>

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
    void numerosComoElParserDelLocale();
    void formatoComoLaCuentaDecimal();
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

// Plain numbers are read without the locale's general parser: the value must be the one the parser
// gives, under a comma locale, a point locale and the C locale, switching between them.
void TstVb::numerosComoElParserDelLocale() {
    QRandomGenerator azar(20261208);
    QStringList textos = prueba::lista({"0",
                                        "007",
                                        "-0",
                                        "-0,5",
                                        "0,5",
                                        "12,25",
                                        "1234567,891",
                                        "99999999999999999999",
                                        "0,1000000000000000055511151231257827",
                                        "123456789012345678901234567890123456789",
                                        "1,",
                                        ",5",
                                        "-",
                                        "--1",
                                        "1,2,3",
                                        "1.234,5",
                                        "1,234.5",
                                        "+3",
                                        " 4 ",
                                        "1e5",
                                        "٣",
                                        "12345678901234567890123456789012345678901"});
    for (int i = 0; i < 2000; ++i) {
        QString t;
        if (azar.bounded(4) == 0)
            t += u'-';
        const int antes = 1 + static_cast<int>(azar.bounded(18));
        for (int k = 0; k < antes; ++k)
            t += QChar(u'0' + azar.bounded(10));
        if (azar.bounded(3) != 0) {
            t += u',';
            const int despues = 1 + static_cast<int>(azar.bounded(18));
            for (int k = 0; k < despues; ++k)
                t += QChar(u'0' + azar.bounded(10));
        }
        textos << t;
    }
    for (const char* nombre : {"es_AR", "en_US", "C", "es_AR"}) {
        prueba::LocaleFijo l(QString::fromLatin1(nombre));
        const QLocale locale;
        for (QString t : std::as_const(textos)) {
            if (locale.decimalPoint() == u".")
                t.replace(u',', u'.');
            bool ok = false;
            double esperado = locale.toDouble(t.trimmed(), &ok);
            if (!ok)
                esperado = QLocale::c().toDouble(t.trimmed(), &ok);
            double v = 0;
            QVERIFY2(vb::EsNumero(t, &v) == ok, qPrintable(t + u' ' + QString::fromLatin1(nombre)));
            if (ok)
                QVERIFY2(v == esperado && std::signbit(v) == std::signbit(esperado),
                         qPrintable(t + u' ' + QString::fromLatin1(nombre)));
        }
    }
}

namespace {
// The decimal arithmetic of Format and CStr written the plain way, digit strings and all, to check
// the working versions against over many values.
QString formatoDeReferencia(double valor, int enteros, int decimales, const QLocale& locale) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(valor));
    const std::string s(buf);
    const std::string digitos = s.substr(0, 1) + s.substr(2, 14);
    const int exp10 = std::stoi(s.substr(17)) + 1;
    std::string ent, frac;
    if (exp10 <= 0) {
        ent = "0";
        frac = std::string(static_cast<size_t>(-exp10), '0') + digitos;
    } else if (exp10 >= 15) {
        ent = digitos + std::string(static_cast<size_t>(exp10 - 15), '0');
    } else {
        ent = digitos.substr(0, static_cast<size_t>(exp10));
        frac = digitos.substr(static_cast<size_t>(exp10));
    }
    const bool subir =
        frac.size() > static_cast<size_t>(decimales) && frac[static_cast<size_t>(decimales)] >= '5';
    frac.resize(static_cast<size_t>(decimales), '0');
    // Rounding up adds one unit of the last decimal, in whole numbers of that unit.
    std::string todo = ent + frac;
    if (subir) {
        int i = static_cast<int>(todo.size()) - 1;
        for (; i >= 0 && todo[static_cast<size_t>(i)] == '9'; --i)
            todo[static_cast<size_t>(i)] = '0';
        if (i < 0)
            todo.insert(0, "1");
        else
            ++todo[static_cast<size_t>(i)];
    }
    std::string entero = todo.substr(0, todo.size() - static_cast<size_t>(decimales));
    const std::string dec = todo.substr(todo.size() - static_cast<size_t>(decimales));
    entero.erase(0, std::min(entero.find_first_not_of('0'), entero.size() - 1));
    if (static_cast<int>(entero.size()) < enteros)
        entero.insert(0, static_cast<size_t>(enteros) - entero.size(), '0');
    if (enteros == 0 && entero == "0")
        entero.clear();
    QString texto = QString::fromStdString(entero);
    if (decimales > 0)
        texto += locale.decimalPoint() + QString::fromStdString(dec);
    const bool cero = todo.find_first_not_of('0') == std::string::npos;
    return (valor < 0 && !cero ? locale.negativeSign() : QString()) + texto;
}
} // namespace

void TstVb::formatoComoLaCuentaDecimal() {
    QRandomGenerator azar(7);
    std::vector<double> valores = {
        0.005, 0.0049999999999, 9.995, 99.995, 999999.999995, 1e14 + 0.5, 123456789012345.6, 0.000001,
        5e-7,  1e-300,          1e300, 2.5,    -2.5,          -0.004};
    for (int i = 0; i < 3000; ++i) {
        const double mantisa = azar.generateDouble() * 10;
        const int exponente = static_cast<int>(azar.bounded(-8, 17));
        valores.push_back((azar.bounded(2) ? -1 : 1) * mantisa * std::pow(10.0, exponente));
        // Values that sit on a half: 1.005, 12.345 and so on.
        valores.push_back(static_cast<double>(azar.bounded(100000)) / 1000 + 0.0005);
    }
    const std::pair<const char*, std::pair<int, int>> patrones[] = {
        {"00.00", {2, 2}}, {"00.00000", {2, 5}}, {"0", {1, 0}}, {"000000", {6, 0}}, {".00", {0, 2}}};
    for (const char* nombre : {"es_AR", "en_US"}) {
        prueba::LocaleFijo l(QString::fromLatin1(nombre));
        const QLocale locale;
        for (const double v : valores) {
            for (const auto& [patron, cifras] : patrones)
                QCOMPARE(vb::Format(v, QString::fromLatin1(patron)),
                         formatoDeReferencia(v, cifras.first, cifras.second, locale));
            // CStr shows the 15-digit value: read back, it is the value printed to 15 digits.
            const QString texto = vb::CStr(v);
            double leido = 0;
            QVERIFY2(vb::EsNumero(texto, &leido), qPrintable(texto));
            char a[40], b[40];
            std::snprintf(a, sizeof a, "%.14e", v);
            std::snprintf(b, sizeof b, "%.14e", leido);
            QCOMPARE(QByteArray(b), QByteArray(a));
            QVERIFY(!texto.contains(locale.groupSeparator()) ||
                    locale.groupSeparator() == locale.decimalPoint());
        }
    }
    // Beyond the range of a double: the overflow error, not a text.
    QVERIFY_THROWS_EXCEPTION(VbError, vb::CStr(std::numeric_limits<double>::infinity()));
    try {
        vb::Format(-std::numeric_limits<double>::infinity(), QStringLiteral("00.00"));
        QFAIL("sin error");
    } catch (const VbError& e) {
        QCOMPARE(e.numero(), errores::DesbordamientoTipo);
    }
}

void TstVb::fechas() {
    {
        prueba::LocaleFijo l(QStringLiteral("es_AR"));
        QCOMPARE(vb::TextoFecha(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
        QCOMPARE(vb::TextoFechaHora(QDateTime(QDate(2024, 2, 28), QTime(17, 45))),
                 QStringLiteral("28/02/2024 17:45:00"));
        QDateTime dt;
        // What the program writes reads back; so does the short form a clerk types.
        QVERIFY(vb::EsFecha(QStringLiteral("28/02/2024 17:45:00"), &dt));
        QCOMPARE(dt, QDateTime(QDate(2024, 2, 28), QTime(17, 45)));
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
        QCOMPARE(vb::TextoFechaHora(QDateTime(QDate(2024, 2, 28), QTime(17, 45))),
                 QStringLiteral("2/28/2024 5:45:00 PM"));
        QDateTime dt;
        QVERIFY(vb::EsFecha(QStringLiteral("2/28/2024 5:45:00 PM"), &dt));
        QCOMPARE(dt, QDateTime(QDate(2024, 2, 28), QTime(17, 45)));
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
