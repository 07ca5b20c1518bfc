#pragma once

#include "intake/celda.h"
#include "intake/memoriahoja.h"

#include <QString>
#include <cstdint>

namespace tarvix::lector {

// What a workbook may make the reader spend. A file beyond any of these is refused whole.
struct LimitesXlsx {
    std::int64_t bytesHoja = 256ll << 20;          // inflated size of the worksheet part
    std::int64_t bytesCadenas = 64ll << 20;        // inflated size of the shared strings part
    std::int64_t bytesOtraParte = 16ll << 20;      // relationships, workbook, styles
    std::int64_t proporcionMaxima = 200;           // inflated : compressed, ...
    std::int64_t bytesMinimosProporcion = 1 << 20; // ... checked once a part passes this size
    std::int64_t partes = 10000;                   // zip entries
    std::int64_t cadenas = 1 << 20;                // shared strings
    std::int64_t estilos = 1 << 20;                // cell formats (cellXfs)
    std::int64_t hojasLibro = 1 << 16;             // <sheet> entries of the workbook
    // Memory the sheet may take: its cell slots, its texts and its shared strings, these once more
    // for every cell that shows one (see intake/memoriahoja.h).
    std::int64_t memoria = kMemoriaHoja;
    std::int64_t caracteresCelda = 1 << 20; // bytes of one cell text or shared string
    // Not a limit: a worksheet part of this many bytes or more is read in two parts, one by each
    // of two threads, when the machine has two processors.
    std::int64_t bytesHojaEnDosHilos = 1 << 20;
    // Not a limit: rows and shared strings of the usual plain form are read straight from the
    // bytes rather than element by element (off only to compare the two ways).
    bool lecturaDirecta = true;
};

// Reads the first worksheet of an Office Open XML workbook (.xlsx, .xlsm; transitional or strict).
// Throws VbError (number kErrorLibro of intake/lectorlibro.h) with a Spanish description when the
// file cannot be read, is not a workbook, is damaged or passes a limit; no partial sheet is returned.
Hoja leerXlsx(const QString& ruta, const LimitesXlsx& limites = {});

} // namespace tarvix::lector
