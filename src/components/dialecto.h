#pragma once

#include <QString>

namespace tarvix {

// Engine behind a customs-system connection. The statements of the system are written in the
// bracketed, SQL Server flavoured dialect; each engine gets them translated before they run.
enum class Motor { SQLite, PostgreSQL, Odbc };

// Translates a statement for the engine, outside string literals only:
//  - [name] stays on SQLite, becomes "name" on PostgreSQL;
//  - left(x, n) becomes substr(x, 1, n); len(x) becomes length(x);
//  - + between operands of which one is a text (a string literal or a text function) becomes ||.
// ODBC statements pass untranslated: the server speaks the statements' own dialect.
QString traducirSql(const QString& sql, Motor motor);

} // namespace tarvix
