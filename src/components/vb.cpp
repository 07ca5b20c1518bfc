#include "components/vb.h"

#include "components/vberror.h"

#include <cmath>
#include <string>

namespace tarvix::vb {

namespace {

// The value as 15 significant decimal digits and a decimal exponent: digits "d0d1...d14", the value
// being 0.d0d1... x 10^(exp10). This is the decimal value the user sees.
struct Decimal15 {
    std::string digitos; // 15 digits, no sign
    int exp10 = 0;       // value = 0.digitos * 10^exp10
};

Decimal15 aDecimal15(double a) {
    Decimal15 d;
    if (a == 0.0) {
        d.digitos = std::string(15, '0');
        d.exp10 = 1;
        return d;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", a); // d.dddddddddddddde[+-]XX
    std::string s(buf);
    const auto e = s.find('e');
    d.digitos = s.substr(0, 1) + s.substr(2, e - 2);
    d.exp10 = std::stoi(s.substr(e + 1)) + 1;
    return d;
}

QString conSeparador(const QString& entero, const QString& decimales, const QLocale& locale) {
    if (decimales.isEmpty())
        return entero;
    return entero + locale.decimalPoint() + decimales;
}

QString signo(bool negativo, const QLocale& locale) {
    return negativo ? locale.negativeSign() : QString();
}

} // namespace

QString CStr(double valor, const QLocale& locale) {
    if (std::isnan(valor))
        return QStringLiteral("NaN");
    if (valor == 0.0)
        return QStringLiteral("0");
    const bool negativo = valor < 0;
    const double a = std::fabs(valor);
    Decimal15 d = aDecimal15(a);
    // Significant digits without the trailing zeros.
    std::string sig = d.digitos;
    while (sig.size() > 1 && sig.back() == '0')
        sig.pop_back();
    // 15 digits may round up to 1e15 exactly (999999999999999.9): aDecimal15 already handles it
    // because printf rounds the mantissa and moves the exponent.
    const int expCientifico = d.exp10 - 1; // value = d0.d1d2... x 10^expCientifico
    if (a >= 1e15 || expCientifico >= 15 || a < 1e-4) {
        QString mant = QString::fromLatin1(sig.substr(0, 1).c_str());
        const QString resto = QString::fromLatin1(sig.substr(1).c_str());
        QString texto = conSeparador(mant, resto, locale);
        QString exp = QString::number(std::abs(expCientifico)).rightJustified(2, u'0');
        return signo(negativo, locale) + texto + u'E' + (expCientifico < 0 ? u'-' : u'+') + exp;
    }
    QString entero, decimales;
    const QString digitos = QString::fromLatin1(sig.c_str());
    if (d.exp10 <= 0) {
        entero = QStringLiteral("0");
        decimales = QString(-d.exp10, u'0') + digitos;
    } else if (d.exp10 >= digitos.size()) {
        entero = digitos + QString(d.exp10 - digitos.size(), u'0');
    } else {
        entero = digitos.left(d.exp10);
        decimales = digitos.mid(d.exp10);
    }
    return signo(negativo, locale) + conSeparador(entero, decimales, locale);
}

QString Format(double valor, const QString& patron, const QLocale& locale) {
    const qsizetype punto = patron.indexOf(u'.');
    const int cerosEnteros = static_cast<int>(punto < 0 ? patron.size() : punto);
    const int cerosDecimales = static_cast<int>(punto < 0 ? 0 : patron.size() - punto - 1);
    if (std::isnan(valor) || std::isinf(valor))
        return CStr(valor, locale);

    const bool negativo = valor < 0;
    Decimal15 d = aDecimal15(std::fabs(valor));
    // Integer and fraction digit strings of the 15-digit decimal value.
    std::string ent, frac;
    if (d.exp10 <= 0) {
        ent = "0";
        frac = std::string(static_cast<size_t>(-d.exp10), '0') + d.digitos;
    } else if (d.exp10 >= 15) {
        ent = d.digitos + std::string(static_cast<size_t>(d.exp10 - 15), '0');
    } else {
        ent = d.digitos.substr(0, static_cast<size_t>(d.exp10));
        frac = d.digitos.substr(static_cast<size_t>(d.exp10));
    }
    // Round half away from zero at the requested number of decimals.
    const bool subir =
        frac.size() > static_cast<size_t>(cerosDecimales) && frac[static_cast<size_t>(cerosDecimales)] >= '5';
    frac.resize(static_cast<size_t>(cerosDecimales), '0');
    std::string todo = ent + frac;
    if (subir) {
        int i = static_cast<int>(todo.size()) - 1;
        while (i >= 0) {
            if (todo[static_cast<size_t>(i)] == '9') {
                todo[static_cast<size_t>(i)] = '0';
                --i;
            } else {
                ++todo[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0)
            todo.insert(todo.begin(), '1');
    }
    std::string entero = todo.substr(0, todo.size() - static_cast<size_t>(cerosDecimales));
    std::string decimales = todo.substr(todo.size() - static_cast<size_t>(cerosDecimales));
    while (entero.size() > 1 && entero.front() == '0')
        entero.erase(entero.begin());
    if (static_cast<int>(entero.size()) < cerosEnteros)
        entero.insert(0, static_cast<size_t>(cerosEnteros) - entero.size(), '0');
    if (cerosEnteros == 0 && entero == "0")
        entero.clear();
    const bool esCero = entero.find_first_not_of('0') == std::string::npos &&
                        decimales.find_first_not_of('0') == std::string::npos;
    QString texto = QString::fromLatin1(entero.c_str());
    if (cerosDecimales > 0)
        texto += locale.decimalPoint() + QString::fromLatin1(decimales.c_str());
    return signo(negativo && !esCero, locale) + texto;
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
    double v = locale.toDouble(t, &ok);
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

QString PatronFechaCorta(const QLocale& locale) {
    QString p = locale.dateFormat(QLocale::ShortFormat);
    if (!p.contains(QStringLiteral("yyyy")))
        p.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return p;
}

QString TextoFecha(const QDate& fecha, const QLocale& locale) {
    return locale.toString(fecha, PatronFechaCorta(locale));
}

bool EsFecha(const QString& texto, QDateTime* valor, const QLocale& locale) {
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return false;
    const QString corto = PatronFechaCorta(locale);
    const QString original = locale.dateFormat(QLocale::ShortFormat);
    const QString formatos[] = {corto + QStringLiteral(" H:mm:ss"),
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
