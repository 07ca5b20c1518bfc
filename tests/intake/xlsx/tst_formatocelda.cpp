// Cell to text: numbers, dates, booleans, errors and texts under es_AR and en_US.
#include "components/vb.h"
#include "intake/formatocelda.h"

#include <QTest>
#include <cmath>
#include <cstdio>
#include <random>

using tarvix::lector::Celda;
using tarvix::lector::FormatoCelda;
using tarvix::lector::TipoCelda;

namespace {
Celda numero(double x) {
    return {TipoCelda::Numero, x, {}, false, 0};
}
Celda fecha(double serial) {
    return {TipoCelda::Fecha, serial, {}, false, 0};
}
} // namespace

class TstFormatoCelda : public QObject {
    Q_OBJECT
private slots:
    void numeros_data();
    void numeros();
    void numerosComoPrintf();
    void fechas_data();
    void fechas();
    void otrosTipos();
    void patrones();
    void otrasLocalizaciones();
};

void TstFormatoCelda::numeros_data() {
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("esAR");
    QTest::addColumn<QString>("enUS");
    QTest::newRow("0.1+0.2") << 0.1 + 0.2 << "0,3"
                             << "0.3";
    QTest::newRow("decimales") << 1234567.891 << "1234567,891"
                               << "1234567.891";
    QTest::newRow("entero") << 100.0 << "100"
                            << "100";
    QTest::newRow("sin agrupar") << 1234567890.0 << "1234567890"
                                 << "1234567890";
    QTest::newRow("15 cifras") << 999999999999999.0 << "999999999999999"
                               << "999999999999999";
    QTest::newRow("1e15") << 1e15 << "1E+15"
                          << "1E+15";
    QTest::newRow("redondea a 1e15") << 999999999999999.9 << "1E+15"
                                     << "1E+15";
    QTest::newRow("17 cifras") << 123456789012345678.0 << "1,23456789012346E+17"
                               << "1.23456789012346E+17";
    QTest::newRow("1e100") << 1e100 << "1E+100"
                           << "1E+100";
    QTest::newRow("1e-4 sin exponente") << 1e-4 << "0,0001"
                                        << "0.0001";
    QTest::newRow("-0.00001") << -0.00001 << "-1E-05"
                              << "-1E-05";
    QTest::newRow("1.5e-5") << 1.5e-5 << "1,5E-05"
                            << "1.5E-05";
    QTest::newRow("1e-300") << 1e-300 << "1E-300"
                            << "1E-300";
    QTest::newRow("2/3") << 2.0 / 3.0 << "0,666666666666667"
                         << "0.666666666666667";
    QTest::newRow("negativo") << -2.5 << "-2,5"
                              << "-2.5";
    QTest::newRow("menos cero") << -0.0 << "0"
                                << "0";
    QTest::newRow("cero") << 0.0 << "0"
                          << "0";
}

void TstFormatoCelda::numeros() {
    QFETCH(double, valor);
    QFETCH(QString, esAR);
    QFETCH(QString, enUS);
    QCOMPARE(FormatoCelda(QLocale(QStringLiteral("es_AR"))).texto(numero(valor)), esAR);
    QCOMPARE(FormatoCelda(QLocale(QStringLiteral("en_US"))).texto(numero(valor)), enUS);
    QCOMPARE(tarvix::lector::textoCelda(numero(valor), QLocale(QStringLiteral("es_AR"))), esAR);
}

void TstFormatoCelda::numerosComoPrintf() {
    // Against the C library's "%.15G" with the comma put in: short decimals (the usual amounts),
    // full-precision values and every magnitude, both signs.
    const FormatoCelda es(QLocale(QStringLiteral("es_AR")));
    std::mt19937_64 azar(20240315);
    std::uniform_int_distribution<int> exponente(-30, 30);
    std::uniform_int_distribution<long long> entero(1, 99999999);
    for (int i = 0; i < 200000; ++i) {
        const double x = i % 2
                             ? static_cast<double>(entero(azar)) / 100.0 * std::pow(10.0, exponente(azar) / 3)
                             : std::ldexp(static_cast<double>(azar() >> 11), exponente(azar) * 3 - 53);
        const double v = i % 3 ? x : -x;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15G", v);
        const QString esperado = QString::fromLatin1(buf).replace(u'.', u',');
        if (es.numero(v) != esperado)
            QFAIL(qPrintable(
                QStringLiteral("%1: «%2», se esperaba «%3»").arg(v, 0, 'g', 17).arg(es.numero(v), esperado)));
    }
}

void TstFormatoCelda::fechas_data() {
    QTest::addColumn<double>("serial");
    QTest::addColumn<QString>("esAR");
    QTest::addColumn<QString>("enUS");
    QTest::newRow("1/1/1900") << 1.0 << "01/01/1900"
                              << "1/1/1900";
    QTest::newRow("28/2/1900") << 59.0 << "28/02/1900"
                               << "2/28/1900";
    QTest::newRow("29/2/1900 inexistente") << 60.0 << "29/02/1900"
                                           << "2/29/1900";
    QTest::newRow("1/3/1900") << 61.0 << "01/03/1900"
                              << "3/1/1900";
    QTest::newRow("1904 corrido") << 1462.0 << "01/01/1904"
                                  << "1/1/1904";
    QTest::newRow("con hora") << 45366.5 << "15/03/2024 12:00:00"
                              << "3/15/2024 12:00:00 PM";
    QTest::newRow("segundos") << 45366.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0 << "15/03/2024 13:45:30"
                              << "3/15/2024 1:45:30 PM";
    QTest::newRow("solo hora") << 0.25 << "06:00:00"
                               << "6:00:00 AM";
    QTest::newRow("cero") << 0.0 << "00:00:00"
                          << "12:00:00 AM";
    QTest::newRow("redondeo al día siguiente") << 45366.9999999 << "16/03/2024"
                                               << "3/16/2024";
    QTest::newRow("antes de 29/2/1900 con hora") << 59.75 << "28/02/1900 18:00:00"
                                                 << "2/28/1900 6:00:00 PM";
    QTest::newRow("29/2/1900 con hora") << 60.5 << "29/02/1900 12:00:00"
                                        << "2/29/1900 12:00:00 PM";
    QTest::newRow("último día") << 2958465.0 << "31/12/9999"
                                << "12/31/9999";
    QTest::newRow("más allá: número") << 2958466.0 << "2958466"
                                      << "2958466";
    QTest::newRow("negativo: número") << -1.5 << "-1,5"
                                      << "-1.5";
}

void TstFormatoCelda::fechas() {
    QFETCH(double, serial);
    QFETCH(QString, esAR);
    QFETCH(QString, enUS);
    QCOMPARE(FormatoCelda(QLocale(QStringLiteral("es_AR"))).texto(fecha(serial)), esAR);
    QCOMPARE(FormatoCelda(QLocale(QStringLiteral("en_US"))).texto(fecha(serial)), enUS);
}

void TstFormatoCelda::otrosTipos() {
    const QLocale es(QStringLiteral("es_AR"));
    QCOMPARE(tarvix::lector::textoCelda(Celda{}, es), QString());
    QCOMPARE(tarvix::lector::textoCelda({TipoCelda::Booleano, 0, {}, true, 0}, es), QStringLiteral("True"));
    QCOMPARE(tarvix::lector::textoCelda({TipoCelda::Booleano, 0, {}, false, 0}, es), QStringLiteral("False"));
    const QString texto = QStringLiteral("  0,50 \t con blancos \n");
    QCOMPARE(tarvix::lector::textoCelda({TipoCelda::Texto, 7, texto, false, 0}, es), texto);
    const std::pair<int, const char*> errores[] = {
        {0x00, "Error 2000"}, {0x07, "Error 2007"}, {0x0F, "Error 2015"}, {0x17, "Error 2023"},
        {0x1D, "Error 2029"}, {0x24, "Error 2036"}, {0x2A, "Error 2042"}};
    for (const auto& [codigo, esperado] : errores)
        QCOMPARE(tarvix::lector::textoCelda({TipoCelda::Error, 0, {}, false, codigo}, es),
                 QLatin1String(esperado));
}

// The platform's own patterns where the table has the locale; the locale's own elsewhere, with a
// four-digit year and no time zone.
void TstFormatoCelda::patrones() {
    const char* const casos[][3] = {{"es_AR", "dd/MM/yyyy", "HH:mm:ss"},
                                    {"en_US", "M/d/yyyy", "h:mm:ss AP"},
                                    {"es_ES", "d/M/yyyy", "H:mm:ss"},
                                    {"de_DE", "dd.MM.yyyy", "HH:mm:ss"}};
    for (const auto& [nombre, fecha, hora] : casos) {
        const QLocale l(QString::fromLatin1(nombre));
        QCOMPARE(tarvix::vb::PatronFechaCorta(l), QString::fromLatin1(fecha));
        QCOMPARE(tarvix::vb::PatronHora(l), QString::fromLatin1(hora));
    }
}

void TstFormatoCelda::otrasLocalizaciones() {
    // A pattern with a four-digit year already, zero-padded fields and another separator.
    const FormatoCelda de(QLocale(QStringLiteral("de_DE")));
    QCOMPARE(de.texto(fecha(61.0)), QStringLiteral("01.03.1900"));
    QCOMPARE(de.texto(numero(-1.5)), QStringLiteral("-1,5"));
    const FormatoCelda ja(QLocale(QStringLiteral("ja_JP")));
    QCOMPARE(ja.texto(fecha(45366.0)), QStringLiteral("2024/03/15"));
}

QTEST_GUILESS_MAIN(TstFormatoCelda)
#include "tst_formatocelda.moc"
