#include "data/versiones.h"

#include "components/clbase.h"
#include "components/vb.h"
#include "components/vberror.h"

#include <QHash>
#include <QStringList>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <sqlite3.h>
#include <string>

namespace tarvix::versiones {

namespace {

const QString kOrigen = QStringLiteral("tarvix.versiones");
constexpr char kFirma[4] = {'T', 'V', 'L', '1'};

// The kinds of value in a packed line.
enum Tipo : char { Nulo = 0, Entero = 1, Decimal = 2, Texto = 3, Binario = 4 };

[[noreturn]] void fallar(sqlite3* db, const QString& que) {
    throw VbError(errores::BaseDeDatos, kOrigen,
                  que + QStringLiteral(": ") +
                      Velno::describirErrorSqlite(QString::fromUtf8(sqlite3_errmsg(db)),
                                                  QString::fromUtf8(sqlite3_db_filename(db, "main"))));
}

[[noreturn]] void danada() {
    throw VbError(errores::BaseDeDatos, kOrigen,
                  QStringLiteral("La versión guardada de las líneas del interno está dañada"));
}

class Sentencia {
public:
    Sentencia(sqlite3* db, const char* sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_s, nullptr) != SQLITE_OK)
            fallar(db, QStringLiteral("No se pueden leer las versiones de las líneas"));
    }
    ~Sentencia() { sqlite3_finalize(m_s); }
    Sentencia(const Sentencia&) = delete;
    Sentencia& operator=(const Sentencia&) = delete;
    sqlite3_stmt* operator*() const { return m_s; }

    void texto(int i, const QString& t) {
        const QByteArray u = t.toUtf8();
        sqlite3_bind_text(m_s, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    }
    // One step; true while there is a row. Raises on failure.
    bool paso() {
        const int r = sqlite3_step(m_s);
        if (r == SQLITE_ROW)
            return true;
        if (r != SQLITE_DONE)
            fallar(m_db, QStringLiteral("No se pueden guardar las versiones de las líneas"));
        return false;
    }
    void reiniciar() {
        sqlite3_reset(m_s);
        sqlite3_clear_bindings(m_s);
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_s = nullptr;
};

void directo(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fallar(db, QStringLiteral("No se pueden guardar las versiones de las líneas"));
}

// A savepoint: released at the end, rolled back when the scope ends by an exception.
class PuntoSeguro {
public:
    explicit PuntoSeguro(sqlite3* db) : m_db(db) { directo(db, "SAVEPOINT tarvix_version"); }
    ~PuntoSeguro() {
        if (!m_hecho) {
            sqlite3_exec(m_db, "ROLLBACK TO tarvix_version", nullptr, nullptr, nullptr);
            sqlite3_exec(m_db, "RELEASE tarvix_version", nullptr, nullptr, nullptr);
        }
    }
    void confirmar() {
        directo(m_db, "RELEASE tarvix_version");
        m_hecho = true;
    }
    PuntoSeguro(const PuntoSeguro&) = delete;
    PuntoSeguro& operator=(const PuntoSeguro&) = delete;

private:
    sqlite3* m_db;
    bool m_hecho = false;
};

// The packed lines are built in a plain buffer: a line is some forty appends.
using Buffer = std::string;

template <typename T> void poner(Buffer& b, T v) {
    b.append(reinterpret_cast<const char*>(&v), sizeof v);
}

class Lector {
public:
    Lector(const char* p, size_t n) : m_p(p), m_fin(p + n) {}
    template <typename T> T tomar() {
        T v;
        std::memcpy(&v, bytes(sizeof v), sizeof v);
        return v;
    }
    const char* bytes(qsizetype n) {
        if (n < 0 || m_fin - m_p < n)
            danada();
        const char* p = m_p;
        m_p += n;
        return p;
    }

private:
    const char* m_p;
    const char* m_fin;
};

Buffer empaquetarEn(sqlite3* db, const QString& interno, int& filas) {
    Sentencia s(db, "select * from ART where INTNRO = ?1 order by ARTORD");
    s.texto(1, interno);
    Buffer b;
    b.reserve(1 << 20);
    b.append(kFirma, sizeof kFirma);
    const int columnas = sqlite3_column_count(*s);
    poner<quint32>(b, static_cast<quint32>(columnas));
    for (int c = 0; c < columnas; ++c) {
        const char* nombre = sqlite3_column_name(*s, c);
        const auto largo = static_cast<quint32>(std::strlen(nombre));
        poner(b, largo);
        b.append(nombre, largo);
    }
    const size_t posFilas = b.size();
    poner<quint32>(b, 0);
    filas = 0;
    while (s.paso()) {
        ++filas;
        for (int c = 0; c < columnas; ++c) {
            switch (sqlite3_column_type(*s, c)) {
            case SQLITE_INTEGER:
                b.push_back(Entero);
                poner<qint64>(b, sqlite3_column_int64(*s, c));
                break;
            case SQLITE_FLOAT:
                b.push_back(Decimal);
                poner<double>(b, sqlite3_column_double(*s, c));
                break;
            case SQLITE_TEXT: {
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(*s, c));
                const auto n = static_cast<quint32>(sqlite3_column_bytes(*s, c));
                b.push_back(Texto);
                poner(b, n);
                b.append(t, n);
                break;
            }
            case SQLITE_BLOB: {
                const auto* t = static_cast<const char*>(sqlite3_column_blob(*s, c));
                const auto n = static_cast<quint32>(sqlite3_column_bytes(*s, c));
                b.push_back(Binario);
                poner(b, n);
                b.append(t, n);
                break;
            }
            default:
                b.push_back(Nulo);
                break;
            }
        }
    }
    const auto n = static_cast<quint32>(filas);
    std::memcpy(b.data() + posFilas, &n, sizeof n);
    return b;
}

// Puts the packed lines `datos` in place of the interno's lines; the number of lines.
int restaurar(sqlite3* db, const QString& interno, const Buffer& datos) {
    Lector l(datos.data(), datos.size());
    if (std::memcmp(l.bytes(sizeof kFirma), kFirma, sizeof kFirma) != 0)
        danada();
    const auto columnas = l.tomar<quint32>();
    QStringList nombres;
    for (quint32 c = 0; c < columnas; ++c) {
        const auto n = l.tomar<quint32>();
        nombres << QString::fromUtf8(l.bytes(n), n);
    }
    // A column the table no longer has is left out; one it gained since stays empty.
    QHash<QString, int> actuales;
    {
        Sentencia t(db, "select * from ART limit 0");
        for (int c = 0; c < sqlite3_column_count(*t); ++c)
            actuales.insert(QString::fromUtf8(sqlite3_column_name(*t, c)).toUpper(), c);
    }
    std::vector<int> parametro(columnas, 0);
    QStringList lista, marcas;
    for (quint32 c = 0; c < columnas; ++c)
        if (actuales.contains(nombres[c].toUpper())) {
            lista << u'"' + nombres[c] + u'"';
            marcas << QStringLiteral("?");
            parametro[c] = static_cast<int>(lista.size());
        }
    Sentencia borrar(db, "delete from ART where INTNRO = ?1");
    borrar.texto(1, interno);
    borrar.paso();
    const QByteArray sql =
        QStringLiteral("insert into ART (%1) values (%2)").arg(lista.join(u','), marcas.join(u',')).toUtf8();
    Sentencia ins(db, sql.constData());
    const auto filas = l.tomar<quint32>();
    for (quint32 f = 0; f < filas; ++f) {
        for (quint32 c = 0; c < columnas; ++c) {
            const int p = parametro[c];
            const char tipo = *l.bytes(1);
            switch (tipo) {
            case Nulo:
                break;
            case Entero: {
                const auto v = l.tomar<qint64>();
                if (p)
                    sqlite3_bind_int64(*ins, p, v);
                break;
            }
            case Decimal: {
                const auto v = l.tomar<double>();
                if (p)
                    sqlite3_bind_double(*ins, p, v);
                break;
            }
            case Texto:
            case Binario: {
                const auto n = l.tomar<quint32>();
                const char* t = l.bytes(n);
                if (p && tipo == Texto)
                    sqlite3_bind_text(*ins, p, t, static_cast<int>(n), SQLITE_TRANSIENT);
                else if (p)
                    sqlite3_bind_blob(*ins, p, t, static_cast<int>(n), SQLITE_TRANSIENT);
                break;
            }
            default:
                danada();
            }
        }
        ins.paso();
        ins.reiniciar();
    }
    return static_cast<int>(filas);
}

QChar letra(Motivo m) {
    switch (m) {
    case Motivo::Proceso:
        return u'P';
    case Motivo::Correccion:
        return u'C';
    case Motivo::Transferencia:
        return u'T';
    }
    return u'P';
}

Motivo motivoDe(QChar c) {
    if (c == u'C')
        return Motivo::Correccion;
    if (c == u'T')
        return Motivo::Transferencia;
    return Motivo::Proceso;
}

struct LiberarCompresor {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct LiberarDescompresor {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

} // namespace

void crearTabla(Velno::clBase& base) {
    base.EjecutarDirecto(
        QStringLiteral("CREATE TABLE IF NOT EXISTS ARTVER (VERID integer PRIMARY KEY AUTOINCREMENT, "
                       "INTNRO varchar(20) COLLATE NOCASE NOT NULL, MOMENTO varchar(19) NOT NULL, "
                       "MOTIVO varchar(1) NOT NULL, LINEAS integer NOT NULL, DATOS blob NOT NULL)"));
    base.EjecutarDirecto(
        QStringLiteral("CREATE INDEX IF NOT EXISTS ix_artver_interno ON ARTVER (INTNRO, VERID)"));
}

namespace {

QByteArray comprimirEn(const char* datos, size_t tamano) {
    const std::unique_ptr<libdeflate_compressor, LiberarCompresor> c(libdeflate_alloc_compressor(1));
    if (!c)
        throw VbError(errores::BaseDeDatos, kOrigen, QStringLiteral("Memoria insuficiente"));
    const size_t cota = libdeflate_deflate_compress_bound(c.get(), tamano);
    QByteArray r(static_cast<qsizetype>(cota + sizeof(quint32)), Qt::Uninitialized);
    const auto largo = static_cast<quint32>(tamano);
    std::memcpy(r.data(), &largo, sizeof largo);
    const size_t n = libdeflate_deflate_compress(c.get(), datos, tamano, r.data() + sizeof largo, cota);
    r.truncate(static_cast<qsizetype>(n + sizeof largo));
    return r;
}

Buffer descomprimirEn(const char* datos, size_t tamano) {
    Lector l(datos, tamano);
    const auto largo = l.tomar<quint32>();
    const std::unique_ptr<libdeflate_decompressor, LiberarDescompresor> d(libdeflate_alloc_decompressor());
    Buffer r(largo, '\0');
    size_t salida = 0;
    if (!d ||
        libdeflate_deflate_decompress(d.get(), datos + sizeof largo, tamano - sizeof largo, r.data(), largo,
                                      &salida) != LIBDEFLATE_SUCCESS ||
        salida != largo)
        danada();
    return r;
}

} // namespace

QByteArray comprimir(const QByteArray& datos) {
    return comprimirEn(datos.constData(), static_cast<size_t>(datos.size()));
}

QByteArray descomprimir(const QByteArray& datos) {
    const Buffer r = descomprimirEn(datos.constData(), static_cast<size_t>(datos.size()));
    return QByteArray(r.data(), static_cast<qsizetype>(r.size()));
}

QByteArray empaquetar(Velno::clBase& base, const QString& interno) {
    sqlite3* db = base.ManejadorSqlite();
    int filas = 0;
    if (!db)
        return QByteArray();
    const Buffer b = empaquetarEn(db, interno, filas);
    return QByteArray(b.data(), static_cast<qsizetype>(b.size()));
}

void guardar(Velno::clBase& base, const QString& interno, Motivo motivo, const QDateTime& momento) {
    sqlite3* db = base.ManejadorSqlite();
    if (!db)
        return;
    int filas = 0;
    const Buffer lineas = empaquetarEn(db, interno, filas);
    const QByteArray datos = comprimirEn(lineas.data(), lineas.size());
    PuntoSeguro punto(db);
    Sentencia ins(db,
                  "insert into ARTVER (INTNRO, MOMENTO, MOTIVO, LINEAS, DATOS) values (?1, ?2, ?3, ?4, ?5)");
    ins.texto(1, interno);
    ins.texto(2, momento.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    ins.texto(3, QString(letra(motivo)));
    sqlite3_bind_int(*ins, 4, filas);
    sqlite3_bind_blob(*ins, 5, datos.constData(), static_cast<int>(datos.size()), SQLITE_STATIC);
    ins.paso();
    Sentencia viejas(db, "delete from ARTVER where INTNRO = ?1 and VERID not in "
                         "(select VERID from ARTVER where INTNRO = ?1 order by VERID desc limit ?2)");
    viejas.texto(1, interno);
    sqlite3_bind_int(*viejas, 2, kMaximo);
    viejas.paso();
    punto.confirmar();
}

void olvidar(Velno::clBase& base, const QString& interno) {
    sqlite3* db = base.ManejadorSqlite();
    if (!db)
        return;
    Sentencia borrar(db, "delete from ARTVER where INTNRO = ?1");
    borrar.texto(1, interno);
    borrar.paso();
}

bool guardarSiSePuede(Velno::clBase& base, const QString& interno, Motivo motivo) noexcept {
    try {
        guardar(base, interno, motivo);
        return true;
    } catch (...) {
        return false;
    }
}

std::optional<Deshecho> deshacer(Velno::clBase& base, const QString& interno) {
    sqlite3* db = base.ManejadorSqlite();
    if (!db)
        return std::nullopt;
    PuntoSeguro punto(db);
    Sentencia ultima(db, "select VERID, MOMENTO, MOTIVO, DATOS from ARTVER where INTNRO = ?1 "
                         "order by VERID desc limit 1");
    ultima.texto(1, interno);
    if (!ultima.paso())
        return std::nullopt;
    const qint64 id = sqlite3_column_int64(*ultima, 0);
    const char* motivo = reinterpret_cast<const char*>(sqlite3_column_text(*ultima, 2));
    Deshecho d{motivoDe(QChar::fromLatin1(motivo ? motivo[0] : 'P')),
               QDateTime::fromString(
                   QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(*ultima, 1))),
                   QStringLiteral("yyyy-MM-ddTHH:mm:ss")),
               0};
    const Buffer datos = descomprimirEn(static_cast<const char*>(sqlite3_column_blob(*ultima, 3)),
                                        static_cast<size_t>(sqlite3_column_bytes(*ultima, 3)));
    ultima.reiniciar();
    Sentencia quitar(db, "delete from ARTVER where VERID = ?1");
    sqlite3_bind_int64(*quitar, 1, id);
    quitar.paso();
    d.lineas = restaurar(db, interno, datos);
    punto.confirmar();
    return d;
}

QString textoDeshecho(const Deshecho& d, const QLocale& locale) {
    const QString cuando = vb::TextoFecha(d.momento.date(), locale) + u' ' +
                           locale.toString(d.momento.time(), QLocale::ShortFormat);
    QString t;
    switch (d.motivo) {
    case Motivo::Correccion:
        t = QStringLiteral("Se deshizo la corrección del %1");
        break;
    case Motivo::Transferencia:
        t = QStringLiteral("Se deshizo la transferencia del %1 en las líneas del interno");
        break;
    case Motivo::Proceso:
        t = QStringLiteral("Se deshizo el procesamiento del %1");
        break;
    }
    t = t.arg(cuando);
    if (d.motivo == Motivo::Transferencia)
        t += QStringLiteral("; el despacho transferido no cambia");
    return t;
}

} // namespace tarvix::versiones
