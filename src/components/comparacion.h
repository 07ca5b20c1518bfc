#pragma once

struct sqlite3;
class QSqlDatabase;

// How texts compare on the SQLite databases: without regard to case, as the original engines did.
//
// The schemas declare their text columns COLLATE NOCASE, the name of SQLite's built-in collation,
// so that any SQLite tool opens, reads and filters the files. The built-in one folds only the ASCII
// letters; every connection of the program replaces it by this one, which also folds the
// upper-case letters of Latin-1 (Ñ, Á, É, Í, Ó, Ú, Ü, Ç, …) to their lower case and then compares
// bytes. Accents stay significant: "JAPÓN" is not "JAPON". For ASCII texts both give the same
// order, so an index built by either serves the other.
namespace tarvix::comparacion {

// The comparison itself, in the form sqlite3_create_collation_v2 takes (UTF-8 texts).
int compararSinMayusculas(void*, int largo1, const void* texto1, int largo2, const void* texto2);

// Registers the comparison as "NOCASE" on the connection. False when the engine refused it.
bool registrar(sqlite3* db);
// The same on a Qt SQLite connection that is open; false for another driver.
bool registrar(const QSqlDatabase& db);

} // namespace tarvix::comparacion
