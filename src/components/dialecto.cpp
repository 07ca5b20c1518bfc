#include "components/dialecto.h"

#include <QStringList>

#include <vector>

namespace tarvix {

namespace {

enum class Tipo { Literal, Comillas, Corchetes, Palabra, Numero, Simbolo };

struct Token {
    Tipo tipo;
    QString texto;
    QString espacio; // blanks before the token, written back as they were
};

bool esLetra(QChar c) {
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

std::vector<Token> tokenizar(const QString& s) {
    std::vector<Token> t;
    qsizetype i = 0;
    const qsizetype n = s.size();
    QString espacio;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            espacio += c;
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        Tipo tipo = Tipo::Simbolo;
        if (c == u'\'' || c == u'"') {
            // A literal ends at the next lone quote; a doubled quote stays inside it.
            tipo = c == u'\'' ? Tipo::Literal : Tipo::Comillas;
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
        } else if (c == u'[') {
            tipo = Tipo::Corchetes;
            while (j < n && s[j] != u']')
                ++j;
            if (j < n)
                ++j;
        } else if (esLetra(c)) {
            tipo = Tipo::Palabra;
            while (j < n && (esLetra(s[j]) || s[j].isDigit()))
                ++j;
        } else if (c.isDigit()) {
            tipo = Tipo::Numero;
            while (j < n && (s[j].isDigit() || s[j] == u'.'))
                ++j;
        }
        t.push_back({tipo, s.mid(i, j - i), espacio});
        espacio.clear();
        i = j;
    }
    if (!espacio.isEmpty())
        t.push_back({Tipo::Simbolo, QString(), espacio});
    return t;
}

bool esSimbolo(const Token& t, char16_t c) {
    return t.tipo == Tipo::Simbolo && t.texto.size() == 1 && t.texto[0] == c;
}

// Functions whose result is a text: a + next to one of them joins texts.
bool funcionDeTexto(const QString& nombre) {
    static const QStringList nombres = {QStringLiteral("left"),      QStringLiteral("right"),
                                        QStringLiteral("substring"), QStringLiteral("substr"),
                                        QStringLiteral("ltrim"),     QStringLiteral("rtrim"),
                                        QStringLiteral("trim"),      QStringLiteral("upper"),
                                        QStringLiteral("lower"),     QStringLiteral("mid")};
    return nombres.contains(nombre.toLower());
}

class Traductor {
public:
    Traductor(std::vector<Token> t, Motor m) : m_t(std::move(t)), m_motor(m) {}

    QString traducir() { return rango(0, m_t.size()); }

private:
    std::vector<Token> m_t;
    Motor m_motor;

    // Index of the parenthesis that closes the one at `abre`, or `fin` when it is not closed.
    size_t cierre(size_t abre, size_t fin) const {
        int nivel = 0;
        for (size_t k = abre; k < fin; ++k) {
            if (esSimbolo(m_t[k], u'('))
                ++nivel;
            else if (esSimbolo(m_t[k], u')') && --nivel == 0)
                return k;
        }
        return fin;
    }

    bool empiezaOperando(size_t i) const {
        const Token& t = m_t[i];
        return t.tipo != Tipo::Simbolo || esSimbolo(t, u'(');
    }

    // End of the operand that starts at i, and whether it is a text.
    size_t finOperando(size_t i, size_t fin, bool& esTexto) const {
        const Token& t = m_t[i];
        esTexto = t.tipo == Tipo::Literal;
        if (esSimbolo(t, u'('))
            return std::min(cierre(i, fin) + 1, fin);
        if (t.tipo == Tipo::Palabra || t.tipo == Tipo::Corchetes || t.tipo == Tipo::Comillas) {
            size_t k = i + 1;
            // Qualified names: a.b, [a].[b]
            while (k + 1 < fin && esSimbolo(m_t[k], u'.') && m_t[k].espacio.isEmpty() &&
                   (m_t[k + 1].tipo == Tipo::Palabra || m_t[k + 1].tipo == Tipo::Corchetes))
                k += 2;
            if (t.tipo == Tipo::Palabra && k == i + 1 && k < fin && esSimbolo(m_t[k], u'(')) {
                esTexto = funcionDeTexto(t.texto);
                return std::min(cierre(k, fin) + 1, fin);
            }
            return k;
        }
        return i + 1;
    }

    QString rango(size_t inicio, size_t fin) {
        QString out;
        size_t i = inicio;
        while (i < fin) {
            if (!empiezaOperando(i)) {
                out += m_t[i].espacio + m_t[i].texto;
                ++i;
                continue;
            }
            // A chain of operands joined by +.
            std::vector<std::pair<size_t, size_t>> operandos;
            bool cadenaDeTexto = false;
            size_t k = i;
            while (true) {
                bool texto = false;
                const size_t f = finOperando(k, fin, texto);
                operandos.emplace_back(k, f);
                cadenaDeTexto = cadenaDeTexto || texto;
                if (f + 1 < fin && esSimbolo(m_t[f], u'+') && empiezaOperando(f + 1)) {
                    k = f + 1;
                    continue;
                }
                break;
            }
            for (size_t o = 0; o < operandos.size(); ++o) {
                if (o > 0) {
                    const Token& mas = m_t[operandos[o].first - 1];
                    out += mas.espacio +
                           (cadenaDeTexto && m_motor != Motor::Odbc ? QStringLiteral("||") : mas.texto);
                }
                out += operando(operandos[o].first, operandos[o].second);
            }
            i = operandos.back().second;
        }
        return out;
    }

    QString operando(size_t i, size_t fin) {
        const Token& t = m_t[i];
        if (esSimbolo(t, u'(')) {
            const size_t c = cierre(i, fin);
            if (c >= fin)
                return t.espacio + t.texto + rango(i + 1, fin);
            return t.espacio + t.texto + rango(i + 1, c) + m_t[c].espacio + m_t[c].texto;
        }
        if (t.tipo == Tipo::Palabra && i + 1 < fin && esSimbolo(m_t[i + 1], u'(')) {
            const size_t abre = i + 1;
            const size_t c = cierre(abre, fin);
            const QString nombre = t.texto.toLower();
            if (c < fin && nombre == u"left") {
                // left(x, n) -> substr(x, 1, n)
                size_t coma = fin;
                int nivel = 0;
                for (size_t k = abre + 1; k < c; ++k) {
                    if (esSimbolo(m_t[k], u'('))
                        ++nivel;
                    else if (esSimbolo(m_t[k], u')'))
                        --nivel;
                    else if (nivel == 0 && esSimbolo(m_t[k], u',')) {
                        coma = k;
                        break;
                    }
                }
                if (coma < c)
                    return t.espacio + QStringLiteral("substr(") + rango(abre + 1, coma) +
                           QStringLiteral(",1,") + rango(coma + 1, c) + m_t[c].espacio + u')';
            }
            QString nuevo = t.texto;
            if (nombre == u"len")
                nuevo = QStringLiteral("length");
            return t.espacio + nuevo + operando(abre, fin);
        }
        QString out;
        for (size_t k = i; k < fin; ++k)
            out += m_t[k].espacio + token(m_t[k]);
        return out;
    }

    QString token(const Token& t) const {
        if (t.tipo == Tipo::Corchetes && m_motor == Motor::PostgreSQL) {
            QString nombre = t.texto.mid(1, t.texto.endsWith(u']') ? t.texto.size() - 2 : t.texto.size() - 1);
            nombre.replace(u'"', QStringLiteral("\"\""));
            return u'"' + nombre + u'"';
        }
        return t.texto;
    }
};

} // namespace

namespace {
// True when something outside the literals may need translating: a +, left( or len(, and on
// PostgreSQL a bracketed name. Most statements (inserts of values, plain selects) have none.
bool necesitaTraduccion(const QString& sql, Motor motor) {
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            ++i;
            while (i < n && !(sql[i] == c && (i + 1 >= n || sql[i + 1] != c))) {
                if (sql[i] == c)
                    ++i; // a doubled quote stays inside
                ++i;
            }
            continue;
        }
        if (c == u'+' || (c == u'[' && motor == Motor::PostgreSQL))
            return true;
        if ((c == u'l' || c == u'L') && (i == 0 || !esLetra(sql[i - 1]))) {
            const QStringView resto = QStringView(sql).mid(i);
            if (resto.startsWith(u"left", Qt::CaseInsensitive) ||
                resto.startsWith(u"len", Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}
} // namespace

QString traducirSql(const QString& sql, Motor motor) {
    if (motor == Motor::Odbc || !necesitaTraduccion(sql, motor))
        return sql;
    return Traductor(tokenizar(sql), motor).traducir();
}

} // namespace tarvix
