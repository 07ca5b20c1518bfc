#include "intake/formatocelda.h"

#include "components/vb.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tarvix::lector {

namespace {

constexpr double kUltimoSerial = 2958466.0; // 1/1/10000: the first serial without a date
constexpr qint64 kDias1970 = 25569;         // serial of 1/1/1970

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

// Days since 1/1/1970 to year, month and day of the proleptic Gregorian calendar.
void fechaCivil(qint64 z, int* anio, int* mes, int* dia) {
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    *dia = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *mes = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *anio = static_cast<int>(yoe + era * 400 + (*mes <= 2 ? 1 : 0));
}

} // namespace

// The text of one cell, built in place (in a buffer of its own or the caller's) and made a
// QString once.
class FormatoCelda::Salida {
public:
    Salida() : m_b(m_propio) {}
    explicit Salida(char16_t* destino) : m_b(destino) {}
    Salida(const Salida&) = delete;
    Salida& operator=(const Salida&) = delete;
    int largo() const { return m_n; }

    void agregar(char16_t c) {
        if (m_n < kMaximo)
            m_b[m_n++] = c;
    }
    void agregar(QStringView s) {
        for (const QChar c : s)
            agregar(c.unicode());
    }
    void agregarNumero(int valor, int ancho) {
        char buf[16];
        const auto r = std::to_chars(buf, buf + sizeof buf, valor);
        for (auto n = r.ptr - buf; n < ancho; ++n)
            agregar(u'0');
        for (const char* p = buf; p < r.ptr; ++p)
            agregar(static_cast<char16_t>(*p));
    }
    void agregarLatin1(const char* s) {
        for (; *s; ++s)
            agregar(static_cast<char16_t>(*s));
    }
    void vaciar() { m_n = 0; }
    bool vacia() const { return m_n == 0; }
    QString texto() const { return QString(reinterpret_cast<const QChar*>(m_b), m_n); }
    void agregarA(QString& destino) const { destino.append(reinterpret_cast<const QChar*>(m_b), m_n); }

private:
    static constexpr int kMaximo = kMaximoNoTexto;
    char16_t m_propio[kMaximo];
    char16_t* m_b;
    int m_n = 0;
};

FormatoCelda::FormatoCelda(const QLocale& locale)
    : m_locale(locale), m_fecha(analizar(vb::PatronFechaCorta(locale))),
      m_hora(analizar(vb::PatronHora(locale))) {
    const QString decimal = locale.decimalPoint();
    if (decimal.size() == 1)
        m_decimal = decimal.front();
    else
        m_decimalLargo = decimal;
    const QString menos = locale.negativeSign();
    m_menos = menos.size() == 1 ? menos.front() : QChar(u'-');
    m_marcas[0][0] = locale.amText().toUpper();
    m_marcas[0][1] = locale.amText().toLower();
    m_marcas[1][0] = locale.pmText().toUpper();
    m_marcas[1][1] = locale.pmText().toLower();
}

QString FormatoCelda::texto(const Celda& celda) const {
    if (celda.tipo == TipoCelda::Numero)
        return numero(celda.numero);
    if (celda.tipo == TipoCelda::Fecha)
        return fecha(celda.numero);
    return textoFijo(celda);
}

void FormatoCelda::agregar(const Celda& celda, QString& destino) const {
    if (celda.tipo == TipoCelda::Texto) {
        destino.append(celda.texto);
        return;
    }
    char16_t texto[kMaximoNoTexto];
    destino.append(reinterpret_cast<const QChar*>(texto), escribirEn(celda, texto));
}

int FormatoCelda::escribirEn(const Celda& celda, char16_t* destino) const {
    Salida s(destino);
    switch (celda.tipo) {
    case TipoCelda::Vacia:
    case TipoCelda::Texto:
        return 0;
    case TipoCelda::Numero:
        escribirNumero(celda.numero, s);
        break;
    case TipoCelda::Fecha:
        escribirFecha(celda.numero, s);
        break;
    default:
        s.agregar(textoFijo(celda));
        break;
    }
    return s.largo();
}

void FormatoCelda::agregarDecimal(Salida& s) const {
    if (m_decimalLargo.isEmpty())
        s.agregar(m_decimal.unicode());
    else
        s.agregar(m_decimalLargo);
}

bool FormatoCelda::numeroCorto(double valor, Salida& s) const {
    // Amounts and quantities: the value is n / 10^d for an integer n of at most 15 digits and a few
    // decimals d. The smallest such d gives the digits "%.15G" writes (a decimal of 15 digits or
    // fewer that reads back as the value is its rounding to 15 digits); 1e-4 <= |x| < 1e15 keeps
    // the plain form.
    static constexpr double kPotencias[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    const double a = std::fabs(valor);
    if (!(a >= 1e-4 && a < 1e15))
        return false;
    for (int d = 0; d < 7; ++d) {
        const double n = std::nearbyint(a * kPotencias[d]);
        if (n >= 1e15)
            return false;
        if (n / kPotencias[d] != a)
            continue;
        char buf[24];
        char* fin = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(n)).ptr;
        const int cifras = static_cast<int>(fin - buf);
        if (valor < 0)
            s.agregar(m_menos.unicode());
        if (cifras <= d) { // below 1: "0", the separator, the zeros before the digits
            s.agregar(u'0');
            agregarDecimal(s);
            for (int i = cifras; i < d; ++i)
                s.agregar(u'0');
            for (int i = 0; i < cifras; ++i)
                s.agregar(static_cast<char16_t>(buf[i]));
            return true;
        }
        for (int i = 0; i < cifras; ++i) {
            if (i == cifras - d)
                agregarDecimal(s);
            s.agregar(static_cast<char16_t>(buf[i]));
        }
        return true;
    }
    return false;
}

QString FormatoCelda::numero(double valor) const {
    Salida s;
    escribirNumero(valor, s);
    return s.texto();
}

void FormatoCelda::escribirNumero(double valor, Salida& s) const {
    if (!std::isfinite(valor)) {
        s.agregarLatin1("Error 2036"); // #NUM!: no value of the spreadsheet is infinite or NaN
        return;
    }
    if (valor == 0.0) {
        s.agregar(u'0'); // also -0
        return;
    }
    if (numeroCorto(valor, s))
        return;
    char buf[48];
    // The shortest digits that read back as the value: when there are 15 or fewer, they are what
    // rounding to 15 significant digits gives too, without the slow fixed-precision conversion.
    auto r = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::scientific);
    const char* p = buf;
    if (*p == '-') {
        s.agregar(m_menos.unicode());
        ++p;
    }
    char cifras[24];
    int k = 0;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p != '.')
            cifras[k++] = *p;
    if (k > 15 || std::fabs(valor) < std::numeric_limits<double>::min()) {
        // More digits, or a subnormal value (fewer digits of precision than 15, so its shortest
        // digits are not its rounding): "%.15G", the exponent form for an exponent below -4 or
        // from 15 on.
        s.vaciar();
        r = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::general, 15);
        for (const char* q = buf; q < r.ptr; ++q) {
            if (*q == '.')
                agregarDecimal(s);
            else if (*q == 'e')
                s.agregar(u'E');
            else if (*q == '-' && q == buf)
                s.agregar(m_menos.unicode());
            else
                s.agregar(static_cast<char16_t>(*q));
        }
        return;
    }
    int exponente = 0;
    std::from_chars(p + (p + 1 < r.ptr && p[1] == '+' ? 2 : 1), r.ptr, exponente);
    if (exponente < -4 || exponente >= 15) {
        s.agregar(static_cast<char16_t>(cifras[0]));
        if (k > 1) {
            agregarDecimal(s);
            for (int i = 1; i < k; ++i)
                s.agregar(static_cast<char16_t>(cifras[i]));
        }
        s.agregar(u'E');
        s.agregar(exponente < 0 ? u'-' : u'+');
        s.agregarNumero(std::abs(exponente), 2);
    } else if (exponente >= 0) {
        for (int i = 0; i <= exponente; ++i)
            s.agregar(i < k ? static_cast<char16_t>(cifras[i]) : u'0');
        if (k > exponente + 1) {
            agregarDecimal(s);
            for (int i = exponente + 1; i < k; ++i)
                s.agregar(static_cast<char16_t>(cifras[i]));
        }
    } else {
        s.agregar(u'0');
        agregarDecimal(s);
        for (int i = -1; i > exponente; --i)
            s.agregar(u'0');
        for (int i = 0; i < k; ++i)
            s.agregar(static_cast<char16_t>(cifras[i]));
    }
}

QString FormatoCelda::fecha(double serial) const {
    Salida s;
    escribirFecha(serial, s);
    return s.texto();
}

void FormatoCelda::escribirFecha(double serial, Salida& s) const {
    if (!(serial >= 0.0 && serial < kUltimoSerial))
        return escribirNumero(serial, s);
    auto dias = static_cast<qint64>(std::floor(serial));
    qint64 segundos = std::llround((serial - static_cast<double>(dias)) * 86400.0);
    if (segundos >= 86400) {
        ++dias;
        segundos -= 86400;
    }
    if (dias >= static_cast<qint64>(kUltimoSerial))
        return escribirNumero(serial, s);

    if (dias > 0) {
        int anio = 1900, mes = 2, dia = 29, diaSemana = 3; // serial 60: the 29/2/1900 the system counts
        if (dias != 60) {
            // Serials before 1/3/1900 are one day off the calendar because of that 29/2/1900.
            const qint64 desde1970 = dias + (dias < 60 ? 1 : 0) - kDias1970;
            fechaCivil(desde1970, &anio, &mes, &dia);
            diaSemana = static_cast<int>(((desde1970 + 3) % 7 + 7) % 7) + 1; // 1/1/1970: Thursday
        }
        escribir(s, m_fecha, anio, mes, dia, diaSemana, 0);
    }
    if (segundos > 0 || dias == 0) {
        if (!s.vacia())
            s.agregar(u' ');
        escribir(s, m_hora, 0, 0, 0, 0, static_cast<int>(segundos));
    }
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

void FormatoCelda::escribir(Salida& destino, const std::vector<Pieza>& piezas, int anio, int mes, int dia,
                            int diaSemana, int segundosDelDia) const {
    const int hora = segundosDelDia / 3600;
    const int minuto = segundosDelDia / 60 % 60;
    const int segundo = segundosDelDia % 60;
    for (const Pieza& p : piezas) {
        switch (p.campo) {
        case Campo::Literal:
            destino.agregar(p.literal);
            break;
        case Campo::Dia:
            if (p.ancho <= 2)
                destino.agregarNumero(dia, p.ancho);
            else
                destino.agregar(
                    m_locale.dayName(diaSemana, p.ancho == 3 ? QLocale::ShortFormat : QLocale::LongFormat));
            break;
        case Campo::Mes:
            if (p.ancho <= 2)
                destino.agregarNumero(mes, p.ancho);
            else
                destino.agregar(
                    m_locale.monthName(mes, p.ancho == 3 ? QLocale::ShortFormat : QLocale::LongFormat));
            break;
        case Campo::Anio:
            if (p.ancho == 2)
                destino.agregarNumero(anio % 100, 2);
            else
                destino.agregarNumero(anio, 4);
            break;
        case Campo::Hora24:
            destino.agregarNumero(hora, p.ancho);
            break;
        case Campo::Hora12:
            destino.agregarNumero(hora % 12 == 0 ? 12 : hora % 12, p.ancho);
            break;
        case Campo::Minuto:
            destino.agregarNumero(minuto, p.ancho);
            break;
        case Campo::Segundo:
            destino.agregarNumero(segundo, p.ancho);
            break;
        case Campo::AmPm: {
            destino.agregar(m_marcas[hora < 12 ? 0 : 1][p.literal.isEmpty() ? 0 : 1]);
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

} // namespace tarvix::lector
