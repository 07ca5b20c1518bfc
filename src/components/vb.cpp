#include "components/vb.h"

#include "components/vberror.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

namespace tarvix::vb {

namespace {

// The value as 15 significant decimal digits and a decimal exponent: digits "d0d1...d14", the value
// being 0.d0d1... x 10^(exp10). This is the decimal value the user sees.
struct Decimal15 {
    char digitos[15]; // no sign
    int exp10 = 0;    // value = 0.digitos * 10^exp10
};

// `a` is finite and not negative.
Decimal15 aDecimal15(double a) {
    Decimal15 d;
    if (a == 0.0) {
        std::memset(d.digitos, '0', sizeof d.digitos);
        d.exp10 = 1;
        return d;
    }
    char buf[32];
    // d.dddddddddddddde[+-]XX[X], correctly rounded
    const auto fin = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14).ptr;
    d.digitos[0] = buf[0];
    std::memcpy(d.digitos + 1, buf + 2, 14);
    int e = 0;
    for (const char* c = buf + 18; c < fin; ++c)
        e = e * 10 + (*c - '0');
    d.exp10 = (buf[17] == '-' ? -e : e) + 1;
    return d;
}

// The decimal separator and negative sign of a locale, looked up once for the locale in use: the
// system locale answers each question through the platform.
struct Simbolos {
    QLocale locale;
    QString punto;
    QString menos;
};

const Simbolos& simbolos(const QLocale& locale) {
    thread_local std::optional<Simbolos> guardados;
    if (!guardados || !(guardados->locale == locale))
        guardados = Simbolos{locale, locale.decimalPoint(), locale.negativeSign()};
    return *guardados;
}

[[noreturn]] void desbordamiento() {
    throw VbError(errores::DesbordamientoTipo, QString(), QStringLiteral("Desbordamiento"));
}

// Digits, with an optional minus (when the locale's sign is "-") and an optional decimal separator
// of the locale between digits: the common case, read without the locale's general parser (which
// gives the same value for it). False for any other text.
bool numeroSimple(QStringView t, const Simbolos& s, double& v) {
    constexpr qsizetype kMax = 40;
    if (t.size() > kMax || s.punto.size() != 1)
        return false;
    char buf[kMax];
    qsizetype i = 0;
    int n = 0;
    if (t[0] == u'-') {
        if (s.menos != u"-")
            return false;
        buf[n++] = '-';
        i = 1;
    }
    const char16_t punto = s.punto[0].unicode();
    qsizetype digitosAntes = 0, digitosDespues = 0;
    bool conPunto = false;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9') {
            (conPunto ? digitosDespues : digitosAntes)++;
            buf[n++] = static_cast<char>(c);
        } else if (c == punto && !conPunto) {
            conPunto = true;
            buf[n++] = '.';
        } else {
            return false;
        }
    }
    if (digitosAntes == 0 || (conPunto && digitosDespues == 0))
        return false;
    const auto r = std::from_chars(buf, buf + n, v);
    return r.ec == std::errc() && r.ptr == buf + n;
}

} // namespace

QString CStr(double valor, const QLocale& locale) {
    if (std::isnan(valor))
        return QStringLiteral("NaN");
    if (std::isinf(valor))
        desbordamiento();
    if (valor == 0.0)
        return QStringLiteral("0");
    const Simbolos& s = simbolos(locale);
    const bool negativo = valor < 0;
    const double a = std::fabs(valor);
    const Decimal15 d = aDecimal15(a);
    // Significant digits without the trailing zeros.
    int sig = 15;
    while (sig > 1 && d.digitos[sig - 1] == '0')
        --sig;
    const auto digitos = [&d](int desde, int hasta) {
        return QLatin1StringView(d.digitos + desde, hasta - desde);
    };
    QString texto;
    texto.reserve(40);
    if (negativo)
        texto += s.menos;
    // 15 digits may round up to 1e15 exactly (999999999999999.9): the conversion already rounds the
    // mantissa and moves the exponent.
    const int expCientifico = d.exp10 - 1; // value = d0.d1d2... x 10^expCientifico
    if (a >= 1e15 || expCientifico >= 15 || a < 1e-4) {
        texto += digitos(0, 1);
        if (sig > 1)
            texto += s.punto + digitos(1, sig);
        texto += u'E';
        texto += expCientifico < 0 ? u'-' : u'+';
        texto += QString::number(std::abs(expCientifico)).rightJustified(2, u'0');
    } else if (d.exp10 <= 0) {
        texto += u'0';
        texto += s.punto;
        texto += QString(-d.exp10, u'0');
        texto += digitos(0, sig);
    } else if (d.exp10 >= sig) {
        texto += digitos(0, sig);
        texto += QString(d.exp10 - sig, u'0');
    } else {
        texto += digitos(0, d.exp10);
        texto += s.punto;
        texto += digitos(d.exp10, sig);
    }
    return texto;
}

QString Format(double valor, const QString& patron, const QLocale& locale) {
    const qsizetype punto = patron.indexOf(u'.');
    const int cerosEnteros = static_cast<int>(punto < 0 ? patron.size() : punto);
    const int cerosDecimales = static_cast<int>(punto < 0 ? 0 : patron.size() - punto - 1);
    if (std::isnan(valor) || std::isinf(valor))
        return CStr(valor, locale);

    const bool negativo = valor < 0;
    const Decimal15 d = aDecimal15(std::fabs(valor));
    // Digit k of the value (0 the first significant one) is worth 10^(exp10 - 1 - k).
    const auto digito = [&d](int k) { return k >= 0 && k < 15 ? d.digitos[k] : '0'; };
    // The integer digits (a single 0 when the value is below 1), then the decimals asked for.
    const int enteros = std::max(d.exp10, 1);
    std::string todo(static_cast<size_t>(enteros + cerosDecimales), '0');
    for (int i = 0; i < enteros + cerosDecimales; ++i)
        todo[static_cast<size_t>(i)] = digito(i + d.exp10 - enteros);
    // Round half away from zero at the requested number of decimals.
    if (digito(d.exp10 + cerosDecimales) >= '5') {
        int i = static_cast<int>(todo.size()) - 1;
        while (i >= 0 && todo[static_cast<size_t>(i)] == '9')
            todo[static_cast<size_t>(i--)] = '0';
        if (i < 0)
            todo.insert(todo.begin(), '1');
        else
            ++todo[static_cast<size_t>(i)];
    }
    const size_t finEntero = todo.size() - static_cast<size_t>(cerosDecimales);
    size_t inicio = 0;
    while (inicio + 1 < finEntero && todo[inicio] == '0')
        ++inicio;
    const bool esCero = todo.find_first_not_of('0') == std::string::npos;
    const Simbolos& s = simbolos(locale);
    QString texto;
    texto.reserve(static_cast<qsizetype>(todo.size()) + cerosEnteros + 4);
    if (negativo && !esCero)
        texto += s.menos;
    const int largoEntero = static_cast<int>(finEntero - inicio);
    if (cerosEnteros == 0 && largoEntero == 1 && todo[inicio] == '0') {
        // Without integer zeros in the pattern a zero integer part is left out.
    } else {
        if (largoEntero < cerosEnteros)
            texto += QString(cerosEnteros - largoEntero, u'0');
        texto += QLatin1StringView(todo.data() + inicio, largoEntero);
    }
    if (cerosDecimales > 0)
        texto += s.punto + QLatin1StringView(todo.data() + finEntero, cerosDecimales);
    return texto;
}

QString Format(const QString& texto, const QString& patron, const QLocale& locale) {
    double v = 0;
    if (EsNumero(texto, &v, locale))
        return Format(v, patron, locale);
    return texto;
}

QString PuntoDecimal(const QString& textoLocale) {
    QString s = textoLocale;
    s.replace(u',', u'.');
    return s;
}

QString NumeroSql(double valor, const QLocale& locale) {
    return PuntoDecimal(CStr(valor, locale));
}

bool EsNumero(const QString& texto, double* valor, const QLocale& locale) {
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    double v = 0;
    if (numeroSimple(t, simbolos(locale), v))
        ok = true;
    else
        v = locale.toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (valor)
        *valor = v;
    return true;
}

bool EsNumero(const QVariant& valor, double* numero, const QLocale& locale) {
    if (!valor.isValid() || valor.isNull())
        return false;
    switch (valor.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong: {
        const double v = valor.toDouble();
        if (!std::isfinite(v))
            return false;
        if (numero)
            *numero = v;
        return true;
    }
    case QMetaType::Bool:
        if (numero)
            *numero = valor.toBool() ? -1.0 : 0.0;
        return true;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return EsNumero(valor.toString(), numero, locale);
    default:
        return false;
    }
}

double CDbl(const QString& texto, const QLocale& locale) {
    double v = 0;
    if (!EsNumero(texto, &v, locale))
        throw VbError(errores::TipoNoCoincide, QString(), QStringLiteral("No coinciden los tipos"));
    return v;
}

namespace {

// The short date and the time as the original platform wrote them for the locales the brokerage
// uses; Qt's own patterns differ there (es_AR "d/M/yy", "HH:mm:ss t").
struct PatronesPlataforma {
    const char16_t* locale;
    const char16_t* fecha;
    const char16_t* hora;
};
constexpr PatronesPlataforma kPatrones[] = {
    {u"es_AR", u"dd/MM/yyyy", u"HH:mm:ss"},
    {u"en_US", u"M/d/yyyy", u"h:mm:ss AP"},
};

const PatronesPlataforma* patronesDe(const QLocale& locale) {
    const QString nombre = locale.name();
    for (const auto& p : kPatrones)
        if (nombre == QStringView(p.locale))
            return &p;
    return nullptr;
}

// "dd/MM/yyyy" -> "d/M/yyyy": a one-letter field also reads one or two digits.
QString patronFlexible(QString p) {
    p.replace(QStringLiteral("dd"), QStringLiteral("d"));
    p.replace(QStringLiteral("MM"), QStringLiteral("M"));
    p.replace(QStringLiteral("HH"), QStringLiteral("H"));
    return p;
}

} // namespace

QString PatronFechaCorta(const QLocale& locale) {
    if (const auto* p = patronesDe(locale))
        return QString::fromUtf16(p->fecha);
    QString f = locale.dateFormat(QLocale::ShortFormat);
    if (!f.contains(QStringLiteral("yyyy")))
        f.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return f;
}

QString PatronHora(const QLocale& locale) {
    if (const auto* p = patronesDe(locale))
        return QString::fromUtf16(p->hora);
    const QString f = locale.timeFormat(QLocale::LongFormat);
    QString r;
    bool citado = false;
    for (const QChar c : f) {
        if (c == u'\'')
            citado = !citado;
        if (!citado && c == u't')
            continue;
        r += c;
    }
    r.replace(QStringLiteral("()"), QString());
    return r.simplified();
}

QString TextoFecha(const QDate& fecha, const QLocale& locale) {
    return locale.toString(fecha, PatronFechaCorta(locale));
}

QString TextoFechaHora(const QDateTime& fecha, const QLocale& locale) {
    QString t = TextoFecha(fecha.date(), locale);
    if (fecha.time() != QTime(0, 0))
        t += u' ' + locale.toString(fecha.time(), PatronHora(locale));
    return t;
}

bool EsFecha(const QString& texto, QDateTime* valor, const QLocale& locale) {
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return false;
    const QString corto = patronFlexible(PatronFechaCorta(locale));
    const QString hora = patronFlexible(PatronHora(locale));
    const QString original = locale.dateFormat(QLocale::ShortFormat);
    const QString formatos[] = {corto + u' ' + hora,
                                corto + QStringLiteral(" H:mm:ss"),
                                corto + QStringLiteral(" H:mm"),
                                corto,
                                original + QStringLiteral(" H:mm:ss"),
                                original,
                                QStringLiteral("yyyy-MM-dd HH:mm:ss"),
                                QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
                                QStringLiteral("yyyy-MM-dd")};
    for (const QString& f : formatos) {
        QDateTime dt = locale.toDateTime(t, f);
        if (!dt.isValid()) {
            const QDate d = locale.toDate(t, f);
            if (d.isValid())
                dt = QDateTime(d, QTime(0, 0));
        }
        if (dt.isValid()) {
            if (!f.contains(QStringLiteral("yyyy")) && dt.date().year() < 1930)
                dt = dt.addYears(100); // two-digit years: 30..99 -> 19xx, 00..29 -> 20xx
            if (valor)
                *valor = dt;
            return true;
        }
    }
    return false;
}

QString LTrim(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    return s.mid(i);
}

QString RTrim(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    return s.left(n);
}

QString Trim(const QString& s) {
    return LTrim(RTrim(s));
}
QString UCase(const QString& s) {
    return s.toUpper();
}
QString LetraColumna(int columna) {
    QString r;
    for (int n = columna + 1; n > 0; n = (n - 1) / 26)
        r.prepend(QChar(u'A' + (n - 1) % 26));
    return r;
}

QString Left(const QString& s, qsizetype n) {
    return s.left(std::max<qsizetype>(0, n));
}
QString Right(const QString& s, qsizetype n) {
    return s.right(std::max<qsizetype>(0, n));
}

QString Mid(const QString& s, qsizetype inicio, qsizetype largo) {
    if (inicio < 1)
        throw VbError(5, QString(), QStringLiteral("Llamada a procedimiento o argumento no válido"));
    if (inicio > s.size())
        return QString();
    return largo < 0 ? s.mid(inicio - 1) : s.mid(inicio - 1, largo);
}

qsizetype InStr(qsizetype inicio, const QString& s, const QString& buscado) {
    if (inicio < 1)
        throw VbError(5, QString(), QStringLiteral("Llamada a procedimiento o argumento no válido"));
    if (inicio > s.size())
        return 0;
    const qsizetype i = s.indexOf(buscado, inicio - 1);
    return i < 0 ? 0 : i + 1;
}

double Dividir(double a, double b) {
    if (b == 0.0)
        throw VbError(errores::DivisionPorCero, QString(), QStringLiteral("División por cero"));
    return a / b;
}

QString DoblarComillas(const QString& s) {
    QString r = s;
    r.replace(u'\'', QStringLiteral("''"));
    // A NUL ends the statement text for the engine (SQLite rejects or drops what follows it,
    // PostgreSQL refuses it): it is kept as a blank.
    r.replace(QChar(0), u' ');
    return r;
}

QString SqlTexto(const QString& s) {
    return u'\'' + DoblarComillas(s) + u'\'';
}

QString ComillasABlancos(const QString& s) {
    QString r = s;
    r.replace(u'\'', u' ');
    r.replace(QChar(0), u' '); // as in DoblarComillas
    return r;
}

} // namespace tarvix::vb
