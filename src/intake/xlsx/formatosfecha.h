#pragma once

#include <string_view>

namespace tarvix::lector::xlsx {

// Built-in number formats that show a date or a time: 14-22, 27-36, 45-47, 50-58.
bool esFormatoFechaIntegrado(int id);

// A custom number format code shows a date or a time when, outside quoted text, escaped
// characters and [...] sections, it has any of d, m, y, h, s; the elapsed-time sections [h], [mm],
// [ss] count as time too.
bool esFormatoFecha(std::string_view codigo);

} // namespace tarvix::lector::xlsx
