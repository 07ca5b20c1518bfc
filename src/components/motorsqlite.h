#pragma once

#include "components/recordset.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <list>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace Velno {

// A literal taken out of a statement: text (quotes undoubled), a whole number or a decimal.
struct ValorLiteral {
    enum class Tipo { Texto, Entero, Decimal } tipo = Tipo::Texto;
    QStringView texto; // view into the statement's text (Texto without doubled quotes is in `propio`)
    QString propio;    // a text literal that had doubled quotes, undoubled
    qint64 entero = 0;
    double decimal = 0;
};

// The shape of a statement: its text with each literal replaced by "?", and the literals in order.
// Statements that differ only in their values share a shape, so the engine compiles it once.
// Literals are left in place where a parameter would change the result: the column list of a
// select (column names come from its text), ORDER BY / GROUP BY (a number there is a column
// position), LIMIT and OFFSET, and every statement that is not a select, insert, update or delete
// (schema statements take no parameters).
struct FormaSentencia {
    QString texto;
    std::vector<ValorLiteral> valores;
};
// False when the statement must run as written (then `forma` holds nothing of use).
bool separarLiterales(const QString& sql, FormaSentencia& forma);

// The places in `columnas` of the fields named in `campos`, in that order: the first column of each
// name without regard to case, once; a name that is not there is left out.
std::vector<int> columnasPedidas(const QStringList& columnas, const QStringList& campos);

// Runs statements on an open SQLite handle (the one the Qt driver opened), keeping the compiled
// statements of the last shapes used. A result comes back as the Qt driver gives it: whole
// numbers as qlonglong, decimals as double, text as QString, NULL as a null QString variant.
class MotorSqlite {
public:
    // Long statements give a beat (tarvix::latido) every few thousand steps of the engine.
    explicit MotorSqlite(sqlite3* db);
    ~MotorSqlite();
    MotorSqlite(const MotorSqlite&) = delete;
    MotorSqlite& operator=(const MotorSqlite&) = delete;

    // Each returns false with the engine's text in `error` when the statement fails.
    // The rows of a query come back as the engine gives them (`filas`), made into values when read.
    // With `campos`, only the first column of each of those names (without regard to case), in that
    // order: a name the result does not have is left out.
    bool consultar(const QString& sql, QStringList& columnas, std::shared_ptr<tarvix::FilasCrudas>& filas,
                   QString& error, const QStringList* campos = nullptr);
    bool ejecutar(const QString& sql, qint64& afectadas, QString& error);

    // Frees every compiled statement (before the connection closes).
    void vaciar();
    // True while a transaction is open on the connection.
    bool enTransaccion() const;
    // True when the database's journal is a write-ahead log (asked once, when first needed).
    bool enWal();
    // True when the last failure was of the storage (full disk, I/O, memory, damaged file) rather
    // than of the statement: the engine may have undone the whole transaction.
    bool fallaDeAlmacenamiento() const;
    // True when the last failure was another connection holding the lock past the busy timeout.
    bool ocupada() const;
    sqlite3* handle() const { return m_db; }

private:
    struct Preparada {
        sqlite3_stmt* stmt = nullptr;
        bool propia = false; // finalized after use (not kept)
    };
    struct Compilada {
        QString forma;
        sqlite3_stmt* stmt = nullptr;
        // Column names of its last result, as the engine gave them and as text: a statement compiled
        // again after a change of the schema may name other columns, and then they are read again.
        QStringList columnas;
        std::vector<QByteArray> nombres;
    };
    // The compiled statement for `sql`, bound with its literals; null with `error` set on failure.
    Preparada preparar(const QString& sql, QString& error);
    sqlite3_stmt* compilar(const QString& texto, bool guardar, QString& error);
    void soltar(const Preparada& p);
    QString errorMotor() const;

    sqlite3* m_db;
    std::list<Compilada> m_lru; // most recently used first
    QHash<QString, std::list<Compilada>::iterator> m_indice;
    FormaSentencia m_forma;   // reused between statements
    int m_wal = -1;           // enWal's answer: -1 not asked yet
    std::vector<char> m_utf8; // the bound texts of the statement running, as UTF-8
};

} // namespace Velno
