#pragma once

// What the connection (clbase.cpp) and its lotes, transactions and queues (clbase_lotes.cpp) share.

#include <QByteArray>
#include <QString>

namespace Velno::detalle {

// Source of the errors a connection raises.
QString origenDe(const QString& nombre);
// Refuses a statement with a NUL in it.
void verificarNulo(const QString& sql, const QString& nombre);
// The SQLite file of the connection is gone from its path.
[[noreturn]] void fallarArchivoMovido(const QString& nombre, const QString& archivo);
bool existe(const QByteArray& archivo);

} // namespace Velno::detalle
