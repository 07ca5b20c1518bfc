#pragma once

#include <QString>

// Path of a file of tests/fixtures/xlsx (written by tools/generar_fixtures_xlsx.py).
inline QString fixture(const QString& nombre) {
    return QStringLiteral(TARVIX_SOURCE_DIR "/tests/fixtures/xlsx/") + nombre;
}
