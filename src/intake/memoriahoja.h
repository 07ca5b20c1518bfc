#pragma once

#include "intake/celda.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace tarvix::lector {

// The memory a sheet read into a Hoja may take, as both readers count it while they read:
// - every cell slot (a Hoja::Casilla) up to the last cell of its row, and every row up to the
//   last one that has a cell;
// - every text the sheet holds (cell texts of their own, shared strings once): two bytes a
//   character and what a string costs besides;
// - the characters of a shared string once more for every cell that shows it. The sheet holds the
//   string once, but loading it into the grid writes it out in each of those cells, so a small
//   file that names one long string many times is refused here, before the grid runs out of
//   memory.
// With the inflated parts of a workbook and the grid of the loaded lines, the worst file stays
// under 500 MB.
inline constexpr std::int64_t kMemoriaHoja = std::int64_t(160) << 20;

namespace coste {
inline constexpr std::int64_t kCasilla = sizeof(Hoja::Casilla);
inline constexpr std::int64_t kFila = sizeof(std::vector<Hoja::Casilla>);
// A string held: its QString in the list of texts, the header of its block and the allocator's.
inline constexpr std::int64_t kPorTexto = 64;
inline std::int64_t texto(qsizetype caracteres) {
    return 2 * static_cast<std::int64_t>(caracteres) + kPorTexto;
}
} // namespace coste

// What `hoja` takes, counted as above; the count stops once past `tope`. The readers count as they
// read what they can (a shared string's length may not be known yet), and check the sheet they
// read whole at the end.
std::int64_t memoriaDe(const Hoja& hoja, std::int64_t tope);

// How a refusal names the limit: "más de 160 MB de memoria".
QString masMemoriaQue(std::int64_t bytes);

} // namespace tarvix::lector
