// libFuzzer target: the cell formatter on cells of every kind built from the input, under es_AR and
// en_US. Besides crashes and sanitizer reports, a text that differs from an independent rendering
// aborts: numbers against printf's "%.15G", dates against QLocale's own date and time formatting.
#include "components/vb.h"
#include "intake/formatocelda.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>

using tarvix::lector::Celda;
using tarvix::lector::FormatoCelda;
using tarvix::lector::TipoCelda;

namespace {

constexpr double kUltimoSerial = 2958466.0; // 1/1/10000

[[noreturn]] void diferencia(const char* que, double valor, const QString& obtenido, const QString& esperado,
                             const QLocale& locale) {
    std::fprintf(stderr, "%s %.17g en %s: se obtuvo \"%s\", se esperaba \"%s\"\n", que, valor,
                 qPrintable(locale.name()), qPrintable(obtenido), qPrintable(esperado));
    std::abort();
}

// "%.15G" in the C locale with the locale's decimal separator and minus sign; "0" for -0.
QString numeroEsperado(double valor, const QLocale& locale) {
    if (!std::isfinite(valor))
        return QStringLiteral("Error 2036");
    if (valor == 0.0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", valor);
    QString s;
    for (const char* p = buf; *p; ++p) {
        if (*p == '.')
            s += locale.decimalPoint();
        else if (*p == '-' && p == buf)
            s += locale.negativeSign();
        else
            s += QLatin1Char(*p);
    }
    return s;
}

// The date and time QLocale writes for a serial of the 1900 system; nothing for the 29/2/1900 that
// the system counts and the calendar does not.
std::optional<QString> fechaEsperada(double serial, const QLocale& locale) {
    auto dias = static_cast<qint64>(std::floor(serial));
    qint64 segundos = std::llround((serial - static_cast<double>(dias)) * 86400.0);
    if (segundos >= 86400) {
        ++dias;
        segundos -= 86400;
    }
    if (dias >= static_cast<qint64>(kUltimoSerial))
        return numeroEsperado(serial, locale);
    if (dias == 60)
        return std::nullopt;
    QString s;
    if (dias > 0) {
        const QDate base = dias < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
        s = locale.toString(base.addDays(dias), tarvix::vb::PatronFechaCorta(locale));
    }
    if (segundos > 0 || dias == 0) {
        if (!s.isEmpty())
            s += u' ';
        s += locale.toString(QTime::fromMSecsSinceStartOfDay(static_cast<int>(segundos) * 1000),
                             tarvix::vb::PatronHora(locale));
    }
    return s;
}

void revisar(const FormatoCelda& formato, const Celda& celda, const std::optional<QString>& esperado) {
    const QString obtenido = formato.texto(celda);
    if (esperado && obtenido != *esperado)
        diferencia("celda", celda.numero, obtenido, *esperado, formato.locale());
    if (tarvix::lector::textoCelda(celda, formato.locale()) != obtenido)
        diferencia("textoCelda", celda.numero, tarvix::lector::textoCelda(celda, formato.locale()), obtenido,
                   formato.locale());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam) {
    static const FormatoCelda formatos[] = {FormatoCelda(QLocale(QStringLiteral("es_AR"))),
                                            FormatoCelda(QLocale(QStringLiteral("en_US")))};
    FuzzedDataProvider fdp(datos, tam);

    // Any bit pattern as a number (NaN, infinities, subnormals included) ...
    std::uint64_t bits = fdp.ConsumeIntegral<std::uint64_t>();
    double numero;
    std::memcpy(&numero, &bits, sizeof numero);
    // ... and a serial around the dates' range, with a time that may round up to the next day.
    const auto dias =
        fdp.ConsumeIntegralInRange<std::int64_t>(-3, static_cast<std::int64_t>(kUltimoSerial) + 2);
    const double serial = static_cast<double>(dias) + fdp.ConsumeProbability<double>();
    const bool booleano = fdp.ConsumeBool();
    const int codigoError = fdp.ConsumeIntegral<std::uint8_t>(); // the readers keep a byte
    const std::string bytes = fdp.ConsumeRemainingBytesAsString();
    const QString texto = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));

    for (const FormatoCelda& formato : formatos) {
        const QLocale& locale = formato.locale();
        Celda c;
        revisar(formato, c, QString());

        c.tipo = TipoCelda::Numero;
        c.numero = numero;
        revisar(formato, c, numeroEsperado(numero, locale));

        c.tipo = TipoCelda::Fecha;
        for (const double n : {numero, serial}) {
            c.numero = n;
            revisar(formato, c,
                    n >= 0.0 && n < kUltimoSerial ? fechaEsperada(n, locale) : numeroEsperado(n, locale));
        }

        c = Celda{};
        c.tipo = TipoCelda::Booleano;
        c.booleano = booleano;
        revisar(formato, c, booleano ? QStringLiteral("True") : QStringLiteral("False"));

        c = Celda{};
        c.tipo = TipoCelda::Error;
        c.codigoError = codigoError;
        revisar(formato, c, QStringLiteral("Error %1").arg(2000 + codigoError));

        c = Celda{};
        c.tipo = TipoCelda::Texto;
        c.texto = texto;
        revisar(formato, c, texto);
    }
    return 0;
}
