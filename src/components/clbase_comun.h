#pragma once

// What the connection (clbase.cpp) and its lotes, transactions and queues (clbase_lotes.cpp) share.

#include "components/vigia.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace Velno {
class MotorPostgres;
}

namespace Velno::detalle {

// Watches one statement the Qt driver runs on a server for the time the pipelined statements are
// given (the limit of a statement and a margin): when it runs out the connection is shut down (see
// Vigia) and, at `terminar`, marked as lost for the server's silence. Nothing on SQLite, or without
// a limit.
class VigilanciaPg {
public:
    explicit VigilanciaPg(MotorPostgres* pg);
    ~VigilanciaPg() { terminar(); }
    VigilanciaPg(const VigilanciaPg&) = delete;
    VigilanciaPg& operator=(const VigilanciaPg&) = delete;
    void terminar();

private:
    MotorPostgres* m_pg;
    std::optional<Vigia::Turno> m_turno;
};

// Source of the errors a connection raises.
QString origenDe(const QString& nombre);
// Refuses a statement with a NUL in it.
void verificarNulo(const QString& sql, const QString& nombre);
// The SQLite file of the connection is gone from its path.
[[noreturn]] void fallarArchivoMovido(const QString& nombre, const QString& archivo);
bool existe(const QByteArray& archivo);

} // namespace Velno::detalle
