#pragma once

#include "components/dialecto.h"
#include "components/recordset.h"

#include "components/vberror.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct sqlite3;
class QSqlDatabase;
class QSqlError;

namespace Velno {

class MotorSqlite;
class MotorPostgres;
struct FallaColaPg;

// A queued write that failed (or affected no row when it had to), raised when the queue found it
// out: by then the caller may be several statements further, so the failure carries the statement
// and the mark the caller gave it.
class FallaEnCola : public tarvix::VbError {
public:
    FallaEnCola(QString origen, QString descripcion, QString sentencia, int marca, bool sinFilas);
    const QString& sentencia() const { return m_sentencia; }
    int marca() const { return m_marca; }
    // The statement ran but affected no row; the description is empty then.
    bool sinFilas() const { return m_sinFilas; }

private:
    QString m_sentencia;
    int m_marca;
    bool m_sinFilas;
};

// Parameters of one connection: a Qt SQL driver and its options.
struct ParametrosConexion {
    QString driver = QStringLiteral("QSQLITE"); // QSQLITE, QPSQL, QODBC
    QString baseDeDatos; // file (SQLite), database name (PostgreSQL), DSN/string (ODBC)
    QString host;
    int puerto = -1;
    QString usuario;
    QString clave;
    QString opciones; // driver connect options, e.g. "service=aduana" or "QSQLITE_BUSY_TIMEOUT=5000"
    // Limits of a server connection (PostgreSQL), in seconds: to open it, for one statement, and to
    // wait for what another connection holds locked. 0: no limit; -1: the default (10 s to open;
    // the server's own limits when it has them, else 60 s and 30 s).
    int tiempoConexion = -1;
    int tiempoSentencia = -1;
    int tiempoBloqueo = -1;
};

// A connection to one database: the statement is set with Sql, then run by CrearRs (a query) or
// Ejecutar (a command). Failures raise a tarvix::VbError with a Spanish description.
class clBase {
public:
    // `nombre` names the connection in messages ("base de trabajo", "entidad NCM").
    explicit clBase(QString nombre = QStringLiteral("base de trabajo"));
    ~clBase();
    clBase(const clBase&) = delete;
    clBase& operator=(const clBase&) = delete;

    // "Driver=QSQLITE;Data Source=<file>" and the like; a Jet style string keeps its Data Source.
    void setCadenaConexion(const QString& cadena);
    const QString& CadenaConexion() const { return m_cadena; }
    void setParametros(const ParametrosConexion& p);
    const ParametrosConexion& Parametros() const { return m_param; }

    // Engine whose dialect the statements are translated into before they run. Without it (the
    // working database) statements run as they are written.
    void setMotor(tarvix::Motor m) {
        m_motor = m;
        m_traducir = true;
    }
    tarvix::Motor Motor() const { return m_motor; }

    // Opens the connection (again, when it was open). Raises when it cannot be opened.
    void Conectar();
    bool Conectado() const;
    void Desconectar();

    void setSql(const QString& sql) { m_sql = sql; }
    const QString& Sql() const { return m_sql; }

    // Runs the current Sql as a query; `rs` always receives the rows (possibly none). True when
    // there is at least one row. Connects first when not connected yet.
    bool CrearRs(tarvix::Recordset& rs);
    // The same, keeping in `rs` only the fields named in `campos` (the first column of each name,
    // without regard to case, in that order; a name the result does not have is left out, and
    // Fields raises for it as usual). The statement runs as it is: a loop that reads a few fields of
    // "select *" does not pay for the rest.
    bool CrearRs(tarvix::Recordset& rs, const QStringList& campos);
    // Runs the current Sql as a command; the number of rows affected.
    qint64 Ejecutar();

    // Runs a statement without touching Sql (internal housekeeping of the owner).
    qint64 EjecutarDirecto(const QString& sql);

    const QString& Nombre() const { return m_nombre; }

    // The engine's own handle of an SQLite connection (connecting first), for the housekeeping
    // that binds values of its own; null on any other engine.
    sqlite3* ManejadorSqlite();

    // The statements run between ComenzarLote and TerminarLote share one transaction of the engine,
    // committed by TerminarLote, instead of one commit each: on SQLite, where a commit costs more
    // than most statements. A statement that fails keeps what the ones before it did (they are
    // committed before the failure is raised), just as without a lote; but a failure of the storage
    // (a full disk, an I/O error) or the file gone from its place undoes the lote whole, so that the
    // database is left as it was before it and never with half of it. Lotes nest; only the
    // outermost commits. Other engines keep one transaction per statement.
    //
    // A lote of reads (`soloLecturas`, for a loop that only reads the connection) holds one view of
    // the database for its statements, instead of taking and leaving the engine's locks around each
    // one. It opens only on a file in WAL mode, where a reader never holds up a writer; on any other
    // the statements run one by one as without it.
    void ComenzarLote(bool soloLecturas = false);
    void TerminarLote();
    bool EnLote() const { return m_lote > 0; }

    // All or nothing: the statements from ComenzarTransaccion to ConfirmarTransaccion run in one
    // transaction of the engine, opened with the first of them. A statement that fails leaves it to
    // its owner, who undoes it whole with DeshacerTransaccion; a connection lost meanwhile is never
    // opened again inside it (the server has undone it). On SQLite the transaction takes the write
    // lock when it opens, so that a second writer waits up to the busy timeout instead of failing
    // at its first write. `cerrojo` (on PostgreSQL) is taken as the transaction opens and held to its
    // end: another connection with the same key waits for it up to the lock timeout and then fails
    // with `ocupado`. Lotes inside it commit nothing.
    void ComenzarTransaccion(const QString& cerrojo = QString(), const QString& ocupado = QString());
    // Takes one more key in the transaction (opening it when it is not open yet).
    void Bloquear(const QString& cerrojo, const QString& ocupado);
    void ConfirmarTransaccion();
    // Undoes the transaction; true when there was one (opened or still to open).
    bool DeshacerTransaccion() noexcept;
    bool EnTransaccion() const { return m_transaccion != Transaccion::Ninguna; }
    // The last ConfirmarTransaccion failed after its commit was sent, with the connection lost
    // before the answer: the server may have committed it or not.
    bool ConfirmacionIncierta() const { return m_confirmacionIncierta; }

    // On a server every statement waits for its answer, a round trip each. Two ways of sending
    // statements ahead, for the loops that run one or two per line (elsewhere they do nothing):
    //
    // Reads announced before they run: they are sent at once, a few hundred on their way at a
    // time, and CrearRs with the same text, in the same order, takes the rows already come. A
    // statement of another text runs as always. Any write on the connection forgets them, unless
    // the caller vouches that its writes do not change what they return (`resistenEscrituras`).
    void AnticiparLecturas(const QStringList& consultas, bool resistenEscrituras = false);
    void OlvidarLecturas();
    bool AnticipaLecturas() const;
    // The rows of the announced read `i` places after the next one (0: the next), without taking
    // it; false when there is no such read or it failed (CrearRs reports the failure then).
    bool VerLecturaAnticipada(qsizetype i, tarvix::Recordset& rs);
    //
    // Writes whose answer is not needed at once: EjecutarEnCola sends the statement and goes on;
    // the answers are looked at every so many statements, before any other statement on the
    // connection and at ConfirmarCola. A failure raises FallaEnCola then, and the database is left
    // as if each statement had run alone up to the one that failed: those before it done, it and
    // those after it not. With `exigirFila`, a statement that affects no row is a failure too.
    // Without a server (SQLite, ODBC) the statement runs at once.
    void EjecutarEnCola(const QString& sql, int marca, bool exigirFila = false);
    void ConfirmarCola();

private:
    bool crearRs(tarvix::Recordset& rs, const QStringList* campos);
    QSqlDatabase base() const;
    void asegurarConexion();
    [[noreturn]] void fallar(const QSqlError& e, const QString& contexto) const;
    // The failure of a server given up for its silence.
    QString sinRespuesta() const;
    QString textoParaMotor(const QString& sql) const {
        return m_traducir ? tarvix::traducirSql(sql, m_motor) : sql;
    }

    QString m_nombre;
    QString m_conexion; // Qt connection name, unique per instance
    QString m_cadena;
    ParametrosConexion m_param;
    tarvix::Motor m_motor = tarvix::Motor::SQLite;
    bool m_traducir = false;
    QString m_sql;
    bool m_abierta = false;
    std::unique_ptr<MotorSqlite> m_sqlite; // SQLite connections run their statements here
    QByteArray m_archivo;                  // SQLite file, as the system names it
    int m_lote = 0;
    bool m_loteLecturas = false; // the outermost lote only reads
    mutable unsigned m_cuentaLote = 0;

    std::unique_ptr<MotorPostgres> m_pg; // PostgreSQL connections send statements ahead here
    void prepararSincronica(bool escritura);
    QString descripcionPg(const QString& error);
    [[noreturn]] void fallarPg(const QString& error);
    void lanzarFallaCola(const std::optional<FallaColaPg>& falla);

    enum class Transaccion { Ninguna, Pendiente, Abierta };
    Transaccion m_transaccion = Transaccion::Ninguna;
    bool m_confirmacionIncierta = false;
    QString m_cerrojo;
    QString m_ocupado;
    void abrirTransaccion();
    void tomarCerrojo(const QString& cerrojo, const QString& ocupado);
    void ajustarServidor(QSqlDatabase& db);

    void verificar(const QString& sql) const;
    void abrirLote();
    void cerrarLoteTrasFalla(bool descartar) noexcept;
};

// Runs the statements of a scope as one lote of the connection: TerminarLote when the scope ends
// normally or with an exception (then what ran is kept, as without a lote).
class LoteSql {
public:
    enum class Uso { Escrituras, Lecturas };
    explicit LoteSql(clBase& base, Uso uso = Uso::Escrituras) : m_base(base) {
        m_base.ComenzarLote(uso == Uso::Lecturas);
    }
    ~LoteSql() noexcept {
        if (!m_terminado) {
            try {
                m_base.TerminarLote();
            } catch (...) {
            }
        }
    }
    // Commits now; raises when the commit fails.
    void terminar() {
        m_terminado = true;
        m_base.TerminarLote();
    }
    LoteSql(const LoteSql&) = delete;
    LoteSql& operator=(const LoteSql&) = delete;

private:
    clBase& m_base;
    bool m_terminado = false;
};

// Spanish text for the usual driver failures, with the driver's own text after it. On a server the
// SQLSTATE code decides (`codigo`, or the one the text carries as the PostgreSQL driver writes it).
QString describirErrorSql(const QString& textoDriver, const QString& codigo = QString());
// The same for a failure on the SQLite file `archivo`. SQLite reports a write that ran out of space
// as a plain I/O error: on a disk with almost nothing free it is told as a full disk.
QString describirErrorSqlite(const QString& textoDriver, const QString& archivo);
// As above, given the bytes still free on the file's disk (negative: unknown).
QString describirErrorSqlite(const QString& textoDriver, qint64 bytesLibres);

} // namespace Velno
