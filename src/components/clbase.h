#pragma once

#include "components/dialecto.h"
#include "components/recordset.h"

#include <QString>
#include <memory>

class QSqlDatabase;
class QSqlError;

namespace Velno {

class MotorSqlite;

// Parameters of one connection: a Qt SQL driver and its options.
struct ParametrosConexion {
    QString driver = QStringLiteral("QSQLITE"); // QSQLITE, QPSQL, QODBC
    QString baseDeDatos; // file (SQLite), database name (PostgreSQL), DSN/string (ODBC)
    QString host;
    int puerto = -1;
    QString usuario;
    QString clave;
    QString opciones; // driver connect options, e.g. "service=aduana" or "QSQLITE_BUSY_TIMEOUT=5000"
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
    // Runs the current Sql as a command; the number of rows affected.
    qint64 Ejecutar();

    // Runs a statement without touching Sql (internal housekeeping of the owner).
    qint64 EjecutarDirecto(const QString& sql);

    const QString& Nombre() const { return m_nombre; }

    // The statements run between ComenzarLote and TerminarLote share one transaction of the engine,
    // committed by TerminarLote, instead of one commit each: on SQLite, where a commit costs more
    // than most statements. A statement that fails keeps what the ones before it did (they are
    // committed before the failure is raised), just as without a lote; but a failure of the storage
    // (a full disk, an I/O error) or the file gone from its place undoes the lote whole, so that the
    // database is left as it was before it and never with half of it. Lotes nest; only the
    // outermost commits. Other engines keep one transaction per statement.
    void ComenzarLote();
    void TerminarLote();
    bool EnLote() const { return m_lote > 0; }

private:
    QSqlDatabase base() const;
    void asegurarConexion();
    [[noreturn]] void fallar(const QSqlError& e, const QString& contexto) const;
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
    mutable unsigned m_cuentaLote = 0;

    void verificar(const QString& sql) const;
    void abrirLote();
    void cerrarLoteTrasFalla(bool descartar) noexcept;
};

// Runs the statements of a scope as one lote of the connection: TerminarLote when the scope ends
// normally or with an exception (then what ran is kept, as without a lote).
class LoteSql {
public:
    explicit LoteSql(clBase& base) : m_base(base) { m_base.ComenzarLote(); }
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

// Spanish text for the usual driver failures, with the driver's own text after it.
QString describirErrorSql(const QString& textoDriver);

} // namespace Velno
