#include "components/motorsqlite.h"

#include "components/latido.h"
#include "components/sqlitelatido.h"

#include <algorithm>
#include <sqlite3.h>

namespace Velno {

namespace {

// How the engine runs in this program, set before it starts (when the program loads, ahead of any
// connection): no memory statistics, which take a lock on every allocation and nobody reads; and
// no lock around each call on a connection, since every connection is used by one thread only (the
// one that opened it, as the Qt driver requires).
const bool g_motorConfigurado = [] {
    const bool sinEstadisticas = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    const bool sinCerrojos = sqlite3_config(SQLITE_CONFIG_MULTITHREAD) == SQLITE_OK;
    // After the configuration: installing the file system starts the engine.
    const bool conLatido = instalarArchivosConLatido();
    return sinEstadisticas && sinCerrojos && conLatido;
}();

// Compiled statements kept per connection; a run uses a handful of shapes over and over.
constexpr int kCompiladas = 64;
// More literals than this and the statement runs as written.
constexpr size_t kMaxLiterales = 999;

// What a character starts in a statement, for the characters below 128; every other one is a
// letter.
enum class Clase : unsigned char {
    Otra,
    Comilla,
    Nombre,
    Guion,
    Barra,
    Parametro,
    Letra,
    Digito,
    Punto,
    Abre,
    Cierra
};
struct Tablas {
    Clase clase[128]{};
    bool dePalabra[128]{};
};
constexpr Tablas kTablas = [] {
    Tablas t;
    for (int c = 0; c < 128; ++c) {
        const bool letra = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool digito = c >= '0' && c <= '9';
        t.dePalabra[c] = letra || digito || c == '$';
        t.clase[c] = letra ? Clase::Letra : digito ? Clase::Digito : Clase::Otra;
    }
    t.clase[static_cast<int>('\'')] = Clase::Comilla;
    t.clase[static_cast<int>('"')] = t.clase[static_cast<int>('`')] = t.clase[static_cast<int>('[')] =
        Clase::Nombre;
    t.clase[static_cast<int>('-')] = Clase::Guion;
    t.clase[static_cast<int>('/')] = Clase::Barra;
    t.clase[static_cast<int>('?')] = t.clase[static_cast<int>(':')] = t.clase[static_cast<int>('@')] =
        t.clase[static_cast<int>('$')] = Clase::Parametro;
    t.clase[static_cast<int>('.')] = Clase::Punto;
    t.clase[static_cast<int>('(')] = Clase::Abre;
    t.clase[static_cast<int>(')')] = Clase::Cierra;
    return t;
}();

Clase claseDe(char16_t u) {
    return u < 128 ? kTablas.clase[u] : Clase::Letra;
}
bool esDigito(char16_t u) {
    return u >= u'0' && u <= u'9';
}
bool esDePalabra(char16_t u) {
    return u >= 128 || kTablas.dePalabra[u];
}
bool esPalabra(QStringView w, QLatin1StringView clave) {
    if (w.size() != clave.size())
        return false;
    for (qsizetype k = 0; k < w.size(); ++k) {
        char16_t u = w[k].unicode();
        if (u >= u'A' && u <= u'Z')
            u = static_cast<char16_t>(u + (u'a' - u'A'));
        if (u != clave[k].unicode())
            return false;
    }
    return true;
}

// Keywords that open or close a part of a statement where literals stay in place.
enum class Clausula { Otra, Fija, Libre, Blob };
Clausula clausulaDe(QStringView w) {
    switch (w.size()) {
    case 1:
        return esPalabra(w, QLatin1StringView("x")) ? Clausula::Blob : Clausula::Otra;
    case 2:
        return esPalabra(w, QLatin1StringView("on")) ? Clausula::Libre : Clausula::Otra;
    case 3:
        return esPalabra(w, QLatin1StringView("set")) ? Clausula::Libre : Clausula::Otra;
    case 4:
        return esPalabra(w, QLatin1StringView("from")) ? Clausula::Libre : Clausula::Otra;
    case 5:
        if (esPalabra(w, QLatin1StringView("where")))
            return Clausula::Libre;
        if (esPalabra(w, QLatin1StringView("order")) || esPalabra(w, QLatin1StringView("group")) ||
            esPalabra(w, QLatin1StringView("limit")))
            return Clausula::Fija;
        return Clausula::Otra;
    case 6:
        if (esPalabra(w, QLatin1StringView("select")) || esPalabra(w, QLatin1StringView("offset")))
            return Clausula::Fija;
        if (esPalabra(w, QLatin1StringView("values")) || esPalabra(w, QLatin1StringView("having")))
            return Clausula::Libre;
        return Clausula::Otra;
    default:
        return Clausula::Otra;
    }
}

// Index just past the closing `cierre` of a quoted run that opened at `i` (a doubled closing
// character stays inside); -1 when it never closes.
qsizetype finCitado(const QString& s, qsizetype i, char16_t cierre, bool* doblada = nullptr) {
    const qsizetype n = s.size();
    for (qsizetype j = i + 1;; ++j) {
        j = s.indexOf(QChar(cierre), j);
        if (j < 0)
            return -1;
        if (j + 1 < n && s[j + 1] == QChar(cierre) && cierre != u']') {
            if (doblada)
                *doblada = true;
            ++j;
            continue;
        }
        return j + 1;
    }
}

// Skips blanks and comments from `i`.
qsizetype saltarBlancos(const QString& s, qsizetype i) {
    const qsizetype n = s.size();
    while (i < n) {
        if (s[i].isSpace()) {
            ++i;
        } else if (s[i] == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
        } else if (s[i] == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const qsizetype f = s.indexOf(QStringLiteral("*/"), i + 2);
            i = f < 0 ? n : f + 2;
        } else {
            break;
        }
    }
    return i;
}

QStringView textoDe(const ValorLiteral& v) {
    return v.propio.isNull() ? v.texto : QStringView(v.propio);
}

// Writes `t` as UTF-8 at `destino` (room for three bytes per unit); returns the end. A surrogate
// without its pair becomes U+FFFD.
char* aUtf8(QStringView t, char* destino) {
    const char16_t* p = t.utf16();
    const char16_t* const fin = p + t.size();
    auto poner = [&destino](char32_t c) {
        if (c < 0x80) {
            *destino++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *destino++ = static_cast<char>(0xC0 | (c >> 6));
            *destino++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *destino++ = static_cast<char>(0xE0 | (c >> 12));
            *destino++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *destino++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *destino++ = static_cast<char>(0xF0 | (c >> 18));
            *destino++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *destino++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *destino++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    while (p < fin) {
        const char16_t u = *p++;
        if (u < 0x80) {
            *destino++ = static_cast<char>(u);
        } else if (u < 0xD800 || u > 0xDFFF) {
            poner(u);
        } else if (u <= 0xDBFF && p < fin && *p >= 0xDC00 && *p <= 0xDFFF) {
            poner(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (*p++ - 0xDC00));
        } else {
            poner(0xFFFD);
        }
    }
    return destino;
}

} // namespace

bool separarLiterales(const QString& sql, FormaSentencia& forma) {
    const qsizetype n = sql.size();
    const char16_t* const d = QStringView(sql).utf16();
    qsizetype i = saltarBlancos(sql, 0);
    qsizetype p = i;
    while (p < n && esDePalabra(d[p]))
        ++p;
    const QStringView primera = QStringView(sql).mid(i, p - i);
    if (!esPalabra(primera, QLatin1StringView("select")) &&
        !esPalabra(primera, QLatin1StringView("insert")) &&
        !esPalabra(primera, QLatin1StringView("update")) &&
        !esPalabra(primera, QLatin1StringView("delete")) &&
        !esPalabra(primera, QLatin1StringView("replace")) && !esPalabra(primera, QLatin1StringView("with")))
        return false;

    // The buffers of the last statement are reused: most statements of a run are alike in size.
    QString& texto = forma.texto;
    texto.truncate(0);
    texto.reserve(n);
    std::vector<ValorLiteral>& valores = forma.valores;
    valores.clear();
    // Per parenthesis depth: whether literals there stay in the text.
    constexpr int kProfundidad = 64;
    bool fijos[kProfundidad] = {false};
    int nivel = 0;
    qsizetype copiado = 0; // text before this index is already in `texto`
    auto sacar = [&](qsizetype desde, qsizetype hasta) -> ValorLiteral& {
        texto.append(QStringView(sql).mid(copiado, desde - copiado));
        texto.append(u'?');
        copiado = hasta;
        return valores.emplace_back();
    };

    while (i < n) {
        const char16_t c = d[i];
        switch (claseDe(c)) {
        case Clase::Comilla: {
            bool doblada = false;
            const qsizetype f = finCitado(sql, i, u'\'', &doblada);
            if (f < 0)
                return false; // unterminated: the engine reports it
            if (!fijos[nivel]) {
                ValorLiteral& v = sacar(i, f);
                v.tipo = ValorLiteral::Tipo::Texto;
                v.texto = QStringView(sql).mid(i + 1, f - i - 2);
                if (doblada)
                    v.propio = v.texto.toString().replace(QStringLiteral("''"), QStringLiteral("'"));
                if (valores.size() > kMaxLiterales)
                    return false;
            }
            i = f;
            break;
        }
        case Clase::Nombre: {
            const qsizetype f = finCitado(sql, i, c == u'[' ? u']' : c);
            if (f < 0)
                return false;
            i = f;
            break;
        }
        case Clase::Guion:
        case Clase::Barra:
            if (i + 1 < n && d[i + 1] == (c == u'-' ? u'-' : u'*'))
                i = saltarBlancos(sql, i);
            else
                ++i;
            break;
        case Clase::Parametro:
            return false; // the statement has parameters of its own
        case Clase::Letra: {
            qsizetype f = i + 1;
            while (f < n && esDePalabra(d[f]))
                ++f;
            const Clausula cl = clausulaDe(QStringView(sql).mid(i, f - i));
            if (cl == Clausula::Blob && f < n && d[f] == u'\'') {
                // A blob literal stays as written.
                const qsizetype g = finCitado(sql, f, u'\'');
                if (g < 0)
                    return false;
                f = g;
            } else if (cl == Clausula::Fija) {
                fijos[nivel] = true;
            } else if (cl == Clausula::Libre) {
                fijos[nivel] = false;
            }
            i = f;
            break;
        }
        case Clase::Punto:
            if (!(i + 1 < n && esDigito(d[i + 1]))) {
                ++i;
                break;
            }
            [[fallthrough]];
        case Clase::Digito: {
            qsizetype f = i;
            while (f < n && esDigito(d[f]))
                ++f;
            bool decimal = false;
            if (f < n && d[f] == u'.') {
                decimal = true;
                ++f;
                while (f < n && esDigito(d[f]))
                    ++f;
            }
            const bool simple =
                !(f < n && (esDePalabra(d[f]) || d[f] == u'.')) && !(i > 0 && d[i - 1] == u'.') && c != u'.';
            if (!simple) {
                // 1e5, 0x1F, a name that starts with digits: as written.
                while (f < n && (esDePalabra(d[f]) || d[f] == u'.'))
                    ++f;
            } else if (!fijos[nivel]) {
                const QStringView num = QStringView(sql).mid(i, f - i);
                bool ok = false;
                double decimalLeido = 0;
                qint64 enteroLeido = 0;
                if (decimal)
                    decimalLeido = num.toDouble(&ok);
                else if (num.size() <= 18)
                    enteroLeido = num.toLongLong(&ok);
                if (ok) {
                    ValorLiteral& v = sacar(i, f);
                    v.tipo = decimal ? ValorLiteral::Tipo::Decimal : ValorLiteral::Tipo::Entero;
                    v.decimal = decimalLeido;
                    v.entero = enteroLeido;
                    if (valores.size() > kMaxLiterales)
                        return false;
                }
            }
            i = f;
            break;
        }
        case Clase::Abre:
            if (++nivel == kProfundidad)
                return false;
            fijos[nivel] = fijos[nivel - 1];
            ++i;
            break;
        case Clase::Cierra:
            if (nivel > 0)
                --nivel;
            ++i;
            break;
        case Clase::Otra:
            ++i;
            break;
        }
    }
    texto.append(QStringView(sql).mid(copiado));
    return true;
}

// Steps of the engine's program between two beats: a few hundred microseconds of work.
constexpr int kPasosPorLatido = 4096;

MotorSqlite::MotorSqlite(sqlite3* db) : m_db(db) {
    // The beat's action must not use this connection (the engine is in the middle of a statement):
    // the main window's only repaints, moves and resizes it and runs its timers.
    sqlite3_progress_handler(
        m_db, kPasosPorLatido,
        [](void*) {
            tarvix::latido::latir();
            return 0;
        },
        nullptr);
}

MotorSqlite::~MotorSqlite() {
    sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    vaciar();
}

void MotorSqlite::vaciar() {
    for (Compilada& c : m_lru)
        sqlite3_finalize(c.stmt);
    m_lru.clear();
    m_indice.clear();
}

bool MotorSqlite::enTransaccion() const {
    return sqlite3_get_autocommit(m_db) == 0;
}

bool MotorSqlite::enWal() {
    if (m_wal < 0) {
        sqlite3_stmt* st = nullptr;
        m_wal = 0;
        if (sqlite3_prepare_v2(m_db, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW) {
            const auto* modo = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            m_wal = modo && qstricmp(modo, "wal") == 0 ? 1 : 0;
        }
        sqlite3_finalize(st);
    }
    return m_wal == 1;
}

bool MotorSqlite::ocupada() const {
    const int codigo = sqlite3_errcode(m_db) & 0xff;
    return codigo == SQLITE_BUSY || codigo == SQLITE_LOCKED;
}

bool MotorSqlite::fallaDeAlmacenamiento() const {
    switch (sqlite3_errcode(m_db) & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_NOMEM:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
        return true;
    default:
        return false;
    }
}

QString MotorSqlite::errorMotor() const {
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

sqlite3_stmt* MotorSqlite::compilar(const QString& texto, bool guardar, QString& error) {
    const QByteArray utf8 = texto.toUtf8();
    const char* resto = nullptr;
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()),
                                      guardar ? SQLITE_PREPARE_PERSISTENT : 0, &stmt, &resto);
    if (rc != SQLITE_OK) {
        error = errorMotor();
        sqlite3_finalize(stmt);
        return nullptr;
    }
    if (!stmt) {
        error = QStringLiteral("La instrucción SQL está vacía");
        return nullptr;
    }
    // Like the Qt driver: a second statement after the first is refused, never run nor dropped.
    if (resto) {
        const QString tras = QString::fromUtf8(resto, utf8.constData() + utf8.size() - resto);
        if (saltarBlancos(tras, 0) < tras.size()) {
            sqlite3_finalize(stmt);
            error = QStringLiteral("No se pueden ejecutar varias instrucciones SQL a la vez");
            return nullptr;
        }
    }
    return stmt;
}

MotorSqlite::Preparada MotorSqlite::preparar(const QString& sql, QString& error) {
    if (!separarLiterales(sql, m_forma))
        return {compilar(sql, false, error), true};
    const QString& clave = m_forma.texto;
    sqlite3_stmt* stmt = nullptr;
    const auto it = m_indice.constFind(clave);
    if (it != m_indice.constEnd()) {
        m_lru.splice(m_lru.begin(), m_lru, it.value());
        stmt = m_lru.front().stmt;
    } else {
        stmt = compilar(clave, true, error);
        if (!stmt)
            return {};
        if (sqlite3_bind_parameter_count(stmt) != static_cast<int>(m_forma.valores.size())) {
            // Not the shape the scan thought: the statement runs as written.
            sqlite3_finalize(stmt);
            return {compilar(sql, false, error), true};
        }
        Compilada nueva;
        nueva.forma = clave;
        nueva.stmt = stmt;
        m_lru.push_front(std::move(nueva));
        m_indice.insert(clave, m_lru.begin());
        if (m_lru.size() > kCompiladas) {
            m_indice.remove(m_lru.back().forma);
            sqlite3_finalize(m_lru.back().stmt);
            m_lru.pop_back();
        }
    }
    // Texts go to the engine in its own encoding, all of them in one buffer of the connection: the
    // engine then neither converts nor copies each value when it binds it.
    size_t largo = 0;
    for (const ValorLiteral& v : m_forma.valores)
        if (v.tipo == ValorLiteral::Tipo::Texto)
            largo += static_cast<size_t>(textoDe(v).size()) * 3;
    // (Never empty: an empty text needs a pointer, or the engine takes it for NULL.)
    if (m_utf8.size() <= largo)
        m_utf8.resize(largo + 1);
    char* escrito = m_utf8.data();
    int k = 1;
    for (const ValorLiteral& v : m_forma.valores) {
        int rc = SQLITE_OK;
        switch (v.tipo) {
        case ValorLiteral::Tipo::Texto: {
            char* desde = escrito;
            escrito = aUtf8(textoDe(v), escrito);
            rc = sqlite3_bind_text(stmt, k, desde, static_cast<int>(escrito - desde), SQLITE_STATIC);
            break;
        }
        case ValorLiteral::Tipo::Entero:
            rc = sqlite3_bind_int64(stmt, k, v.entero);
            break;
        case ValorLiteral::Tipo::Decimal:
            rc = sqlite3_bind_double(stmt, k, v.decimal);
            break;
        }
        if (rc != SQLITE_OK) {
            error = errorMotor();
            sqlite3_clear_bindings(stmt);
            return {};
        }
        ++k;
    }
    return {stmt, false};
}

void MotorSqlite::soltar(const Preparada& p) {
    if (p.propia) {
        sqlite3_finalize(p.stmt);
    } else {
        // Its bound texts point into the buffer of the connection, which the next use overwrites
        // only after binding every parameter again.
        sqlite3_reset(p.stmt);
    }
}

std::vector<int> columnasPedidas(const QStringList& columnas, const QStringList& campos) {
    std::vector<int> r;
    for (const QString& campo : campos) {
        for (int i = 0; i < columnas.size(); ++i) {
            if (columnas[i].size() == campo.size() && columnas[i].compare(campo, Qt::CaseInsensitive) == 0) {
                if (std::find(r.begin(), r.end(), i) == r.end())
                    r.push_back(i);
                break;
            }
        }
    }
    return r;
}

bool MotorSqlite::consultar(const QString& sql, QStringList& columnas,
                            std::shared_ptr<tarvix::FilasCrudas>& filas, QString& error,
                            const QStringList* campos) {
    const Preparada p = preparar(sql, error);
    if (!p.stmt)
        return false;
    sqlite3_stmt* st = p.stmt;
    // The columns are read after the first step: a statement kept from before a change of the
    // schema is compiled again by that step, and "select *" then has the table's new columns.
    int rc = sqlite3_step(st);
    const int n = sqlite3_column_count(st);
    Compilada* guardada = p.propia ? nullptr : &m_lru.front();
    bool iguales = guardada && static_cast<int>(guardada->nombres.size()) == n;
    for (int i = 0; iguales && i < n; ++i)
        iguales =
            qstrcmp(guardada->nombres[static_cast<size_t>(i)].constData(), sqlite3_column_name(st, i)) == 0;
    if (iguales) {
        columnas = guardada->columnas;
    } else {
        columnas.clear();
        columnas.reserve(n);
        for (int i = 0; i < n; ++i)
            columnas << QString::fromUtf8(sqlite3_column_name(st, i));
        if (guardada) {
            guardada->columnas = columnas;
            guardada->nombres.resize(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                guardada->nombres[static_cast<size_t>(i)] = QByteArray(sqlite3_column_name(st, i));
        }
    }
    // The columns kept: all of them, or the first of each name asked for.
    std::vector<int> leidas;
    if (campos) {
        leidas = columnasPedidas(columnas, *campos);
        QStringList elegidas;
        for (const int i : leidas)
            elegidas << columnas[i];
        columnas = std::move(elegidas);
    } else {
        leidas.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            leidas[static_cast<size_t>(i)] = i;
    }
    // The values are kept as the engine gives them and made into values when read.
    filas = std::make_shared<tarvix::FilasCrudas>(static_cast<int>(leidas.size()));
    tarvix::FilasCrudas& crudas = *filas;
    for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
        for (const int i : leidas) {
            // One look-up of the column; the value is then read as it is.
            sqlite3_value* v = sqlite3_column_value(st, i);
            switch (sqlite3_value_type(v)) {
            case SQLITE_INTEGER:
                crudas.agregarEntero(sqlite3_value_int64(v));
                break;
            case SQLITE_FLOAT:
                crudas.agregarDecimal(sqlite3_value_double(v));
                break;
            case SQLITE_BLOB: {
                const void* datos = sqlite3_value_blob(v);
                crudas.agregarBinario(static_cast<const char*>(datos), sqlite3_value_bytes(v));
                break;
            }
            case SQLITE_NULL:
                crudas.agregarNulo();
                break;
            default: {
                const unsigned char* texto = sqlite3_value_text(v);
                crudas.agregarTexto(reinterpret_cast<const char*>(texto), sqlite3_value_bytes(v));
                break;
            }
            }
        }
        crudas.terminarFila();
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok)
        error = errorMotor();
    soltar(p);
    return ok;
}

bool MotorSqlite::ejecutar(const QString& sql, qint64& afectadas, QString& error) {
    afectadas = 0;
    const Preparada p = preparar(sql, error);
    if (!p.stmt)
        return false;
    int rc;
    while ((rc = sqlite3_step(p.stmt)) == SQLITE_ROW) {
    }
    const bool ok = rc == SQLITE_DONE;
    if (ok)
        afectadas = sqlite3_stmt_readonly(p.stmt) ? 0 : sqlite3_changes64(m_db);
    else
        error = errorMotor();
    soltar(p);
    return ok;
}

} // namespace Velno
