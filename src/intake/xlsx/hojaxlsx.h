#pragma once

#include "intake/celda.h"
#include "intake/xlsx/valorxlsx.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix::lector::xlsx {

class PaqueteZip;

// What the worksheet's cells refer to, and the limits of the sheet.
struct ContextoHoja {
    std::vector<QString>& cadenas;          // shared strings, taken over by the sheet
    const std::vector<bool>& formatosFecha; // by cell format index: shows a date
    bool fecha1904 = false;                 // serials count from 1/1/1904
    std::int64_t memoriaMaxima = 0;         // bytes the sheet may take (see LimitesXlsx::memoria)
    std::int64_t bytesPorCelda = 0;         // one cell's value
    // A worksheet part of this many bytes or more is read in two parts, one by each of two threads.
    std::int64_t bytesEnDosHilos = std::int64_t(1) << 20;
    // Rows of the usual plain form read straight from the bytes (see LectorHoja::leerDirecto).
    bool lecturaDirecta = true;
};

// The second half of a large worksheet, read by the thread that inflates the part as soon as it
// is inflated, while this one goes on with the shared strings (see lectorxlsx.cpp). Made before
// the part is inflated, from what the sheet's cells need but the shared strings.
class MitadAdelantada;
std::shared_ptr<MitadAdelantada> prepararMitad(const ContextoHoja& contexto, const std::string& parte);
// What PaqueteZip::adelantar runs on the inflated part, in its thread.
void leerMitad(MitadAdelantada& mitad, std::string_view xml) noexcept;

// Reads the cells of the worksheet part `parte`, with the second half read ahead when `mitad` has
// it. Throws FallaXlsx.
Hoja leerHoja(const PaqueteZip& paquete, const std::string& parte, std::int64_t bytesMaximos,
              const ContextoHoja& contexto, MitadAdelantada* mitad = nullptr);

// How many worksheets this process has read in two parts (for tests and diagnostics).
std::int64_t lecturasEnDosHilos();
// How many rows this process has read straight from the bytes (for tests and diagnostics).
std::int64_t filasLeidasDirecto();

} // namespace tarvix::lector::xlsx
