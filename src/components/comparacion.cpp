#include "components/comparacion.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <algorithm>
#include <sqlite3.h>

namespace tarvix::comparacion {

namespace {

// In UTF-8 the Latin-1 letters À..Þ (but ×, U+00D7) are 0xC3 followed by 0x80..0x9E; their
// lower case is the same pair with 0x20 added to the second byte. 0xC3 is never a continuation
// byte, so a byte after it belongs to its letter. No byte folds into 0xC3 or out of it, so two
// texts equal so far have 0xC3 at the same places.
inline unsigned char plegar(const unsigned char* s, int i) {
    const unsigned char c = s[i];
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
    if (c <= 0x9E && c != 0x97 && i > 0 && s[i - 1] == 0xC3)
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

} // namespace

int compararSinMayusculas(void*, int largo1, const void* texto1, int largo2, const void* texto2) {
    const auto* a = static_cast<const unsigned char*>(texto1);
    const auto* b = static_cast<const unsigned char*>(texto2);
    const int n = std::min(largo1, largo2);
    for (int i = 0; i < n; ++i) {
        // Equal bytes fold alike (the bytes before them are equal folded, so 0xC3 is before both
        // or neither): most of a text goes by this one test.
        if (a[i] == b[i])
            continue;
        const int d = static_cast<int>(plegar(a, i)) - static_cast<int>(plegar(b, i));
        if (d != 0)
            return d;
    }
    return largo1 - largo2;
}

bool registrar(sqlite3* db) {
    return db && sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, compararSinMayusculas,
                                             nullptr) == SQLITE_OK;
}

bool registrar(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver())
        return false;
    const QVariant h = db.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return false;
    return registrar(*static_cast<sqlite3* const*>(h.constData()));
}

} // namespace tarvix::comparacion
