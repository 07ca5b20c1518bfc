#pragma once

#include <QStringView>

namespace tarvix::lector::xls {

// Built-in number formats that show a date or a time.
bool esFormatoFechaIncorporado(int id);

// Whether a number format code shows a date or a time: it has day, month, year, hour or second
// codes outside quoted text, escaped characters and [...] sections (colours, locales, elapsed
// time). Only the first section (before ';') counts.
bool esCodigoFecha(QStringView codigo);

} // namespace tarvix::lector::xls
