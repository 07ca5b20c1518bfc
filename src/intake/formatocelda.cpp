#include "intake/formatocelda.h"

#include <QDate>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace tarvix::lector {

namespace {

constexpr double kUltimoSerial = 2958466.0; // 1/1/10000: the first serial without a date
constexpr qint64 kJulianoDia0 = 2415019;    // Julian day of 30/12/1899, day 0 of the serials

QString textoError(int codigo) {
    return QStringLiteral("Error ") + QString::number(2000 + codigo);
}

// The kinds whose text does not depend on the locale.
QString textoFijo(const Celda& celda) {
    switch (celda.tipo) {
    case TipoCelda::Texto:
        return celda.texto;
    case TipoCelda::Booleano:
        return celda.booleano ? QStringLiteral("True") : QStringLiteral("False");
    case TipoCelda::Error:
        return textoError(celda.codigoError);
    default:
        return {};
    }
}

void agregarNumero(QString& destino, int valor, int ancho) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, valor);
    for (auto n = r.ptr - buf; n < ancho; ++n)
        destino += u'0';
    destino += QLatin1StringView(buf, r.ptr);
}

} // namespace

FormatoCelda::FormatoCelda(const QLocale& locale)
    : m_locale(locale), m_fecha(analizar(patronFechaCuatroDigitos(locale))),
      m_hora(analizar(patronHoraSinZona(locale))) {
    const QString decimal = locale.decimalPoint();
    if (decimal.size() == 1)
        m_decimal = decimal.front();
    else
        m_decimalLargo = decimal;
    const QString menos = locale.negativeSign();
    m_menos = menos.size() == 1 ? menos.front() : QChar(u'-');
}

QString FormatoCelda::texto(const Celda& celda) const {
    if (celda.tipo == TipoCelda::Numero)
        return numero(celda.numero);
    if (celda.tipo == TipoCelda::Fecha)
        return fecha(celda.numero);
    return textoFijo(celda);
}

QString FormatoCelda::numero(double valor) const {
    if (!std::isfinite(valor))
        return textoError(0x24); // #NUM!: no value of the spreadsheet is infinite or NaN
    if (valor == 0.0)
        return QStringLiteral("0"); // also -0
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::general, 15);
    const auto n = static_cast<qsizetype>(r.ptr - buf);
    QString s(n, Qt::Uninitialized);
    QChar* d = s.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = buf[i];
        if (c == '.')
            d[i] = m_decimal;
        else if (c == 'e')
            d[i] = u'E';
        else if (c == '-' && i == 0)
            d[i] = m_menos;
        else
            d[i] = QLatin1Char(c);
    }
    if (!m_decimalLargo.isEmpty())
        s.replace(QChar(), m_decimalLargo); // the null placeholder written for the separator
    return s;
}

QString FormatoCelda::fecha(double serial) const {
    if (!(serial >= 0.0 && serial < kUltimoSerial))
        return numero(serial);
    auto dias = static_cast<qint64>(std::floor(serial));
    qint64 segundos = std::llround((serial - static_cast<double>(dias)) * 86400.0);
    if (segundos >= 86400) {
        ++dias;
        segundos -= 86400;
    }
    if (dias >= static_cast<qint64>(kUltimoSerial))
        return numero(serial);

    QString s;
    s.reserve(24);
    if (dias > 0) {
        int anio = 1900, mes = 2, dia = 29, diaSemana = 3; // serial 60: the 29/2/1900 the system counts
        if (dias != 60) {
            // Serials before 1/3/1900 are one day off the calendar because of that 29/2/1900.
            const QDate d = QDate::fromJulianDay(kJulianoDia0 + dias + (dias < 60 ? 1 : 0));
            d.getDate(&anio, &mes, &dia);
            diaSemana = d.dayOfWeek();
        }
        escribir(s, m_fecha, anio, mes, dia, diaSemana, 0);
    }
    if (segundos > 0 || dias == 0) {
        if (!s.isEmpty())
            s += u' ';
        escribir(s, m_hora, 0, 0, 0, 0, static_cast<int>(segundos));
    }
    return s;
}

std::vector<FormatoCelda::Pieza> FormatoCelda::analizar(const QString& patron) {
    std::vector<Pieza> piezas;
    auto literal = [&piezas](QStringView t) {
        if (piezas.empty() || piezas.back().campo != Campo::Literal)
            piezas.push_back({});
        piezas.back().literal += t;
    };
    bool doceHoras = false;
    const qsizetype n = patron.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = patron[i];
        if (c == u'\'') {
            // Quoted text; two quotes stand for one.
            qsizetype j = i + 1;
            if (j < n && patron[j] == u'\'') {
                literal(u"'");
                i = j + 1;
                continue;
            }
            QString t;
            while (j < n) {
                if (patron[j] == u'\'') {
                    if (j + 1 < n && patron[j + 1] == u'\'') {
                        t += u'\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                t += patron[j++];
            }
            literal(t);
            i = j + 1;
            continue;
        }
        qsizetype j = i;
        while (j < n && patron[j] == c)
            ++j;
        const int ancho = static_cast<int>(j - i);
        Pieza p;
        p.ancho = ancho;
        // 'h' counts 24 hours unless the pattern has an AM/PM mark.
        static constexpr std::pair<char16_t, Campo> kCampos[] = {
            {u'd', Campo::Dia},    {u'M', Campo::Mes},    {u'y', Campo::Anio},    {u'H', Campo::Hora24},
            {u'h', Campo::Hora12}, {u'm', Campo::Minuto}, {u's', Campo::Segundo}, {u't', Campo::Literal}};
        const auto campo = std::find_if(std::begin(kCampos), std::end(kCampos),
                                        [c](const auto& k) { return k.first == c.unicode(); });
        if (campo != std::end(kCampos)) {
            p.campo = campo->second; // 't', the time zone, is not shown
        } else if (c == u'A' || c == u'a') {
            // "AP", "ap", "A", "a": the AM/PM mark.
            p.campo = Campo::AmPm;
            p.literal = c == u'a' ? QStringLiteral("l") : QString();
            j = i + 1;
            if (j < n && (patron[j] == u'P' || patron[j] == u'p'))
                ++j;
            doceHoras = true;
        } else {
            literal(QStringView(patron).mid(i, ancho));
            i = j;
            continue;
        }
        if (c != u't')
            piezas.push_back(std::move(p));
        i = j;
    }
    if (!doceHoras)
        for (auto& p : piezas)
            if (p.campo == Campo::Hora12)
                p.campo = Campo::Hora24;
    return piezas;
}

void FormatoCelda::escribir(QString& destino, const std::vector<Pieza>& piezas, int anio, int mes, int dia,
                            int diaSemana, int segundosDelDia) const {
    const int hora = segundosDelDia / 3600;
    const int minuto = segundosDelDia / 60 % 60;
    const int segundo = segundosDelDia % 60;
    for (const Pieza& p : piezas) {
        switch (p.campo) {
        case Campo::Literal:
            destino += p.literal;
            break;
        case Campo::Dia:
            if (p.ancho <= 2)
                agregarNumero(destino, dia, p.ancho);
            else
                destino +=
                    m_locale.dayName(diaSemana, p.ancho == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case Campo::Mes:
            if (p.ancho <= 2)
                agregarNumero(destino, mes, p.ancho);
            else
                destino += m_locale.monthName(mes, p.ancho == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case Campo::Anio:
            if (p.ancho == 2)
                agregarNumero(destino, anio % 100, 2);
            else
                agregarNumero(destino, anio, 4);
            break;
        case Campo::Hora24:
            agregarNumero(destino, hora, p.ancho);
            break;
        case Campo::Hora12:
            agregarNumero(destino, hora % 12 == 0 ? 12 : hora % 12, p.ancho);
            break;
        case Campo::Minuto:
            agregarNumero(destino, minuto, p.ancho);
            break;
        case Campo::Segundo:
            agregarNumero(destino, segundo, p.ancho);
            break;
        case Campo::AmPm: {
            const QString marca = hora < 12 ? m_locale.amText() : m_locale.pmText();
            destino += p.literal.isEmpty() ? marca.toUpper() : marca.toLower();
            break;
        }
        }
    }
}

QString textoCelda(const Celda& celda, const QLocale& locale) {
    if (celda.tipo == TipoCelda::Numero || celda.tipo == TipoCelda::Fecha)
        return FormatoCelda(locale).texto(celda);
    return textoFijo(celda);
}

QString patronFechaCuatroDigitos(const QLocale& locale) {
    QString p = locale.dateFormat(QLocale::ShortFormat);
    if (!p.contains(QStringLiteral("yyyy")))
        p.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return p;
}

QString patronHoraSinZona(const QLocale& locale) {
    QString p = locale.timeFormat(QLocale::LongFormat);
    QString r;
    bool citado = false;
    for (const QChar c : std::as_const(p)) {
        if (c == u'\'')
            citado = !citado;
        if (!citado && c == u't')
            continue;
        r += c;
    }
    r.replace(QStringLiteral("()"), QString());
    return r.simplified();
}

} // namespace tarvix::lector
