#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix::lector::xlsx {

class PaqueteZip;

struct Relacion {
    std::string id;
    std::string tipo;
    std::string destino; // the target part, resolved to a name inside the package
};

// The relationships of `parte` (read from its _rels/<name>.rels; none when that part is missing).
// External targets are left out.
std::vector<Relacion> leerRelaciones(const PaqueteZip& paquete, const std::string& parte,
                                     std::int64_t bytesMaximos);

// Whether the relationship's type ends in "/" + `tipo` (transitional and strict types differ only
// before that).
bool esDeTipo(const Relacion& relacion, std::string_view tipo);
// The first relationship of that type, or nullptr.
const Relacion* relacionDeTipo(const std::vector<Relacion>& relaciones, std::string_view tipo);

// `destino` taken relative to the folder of `origen` ("/x" is from the package root), with "."
// and ".." segments and %XX escapes resolved.
std::string resolverDestino(const std::string& origen, std::string_view destino);

struct Libro {
    bool fecha1904 = false;
    std::vector<std::string> hojas; // relationship ids of the <sheet> entries, in workbook order
};
Libro leerLibro(const PaqueteZip& paquete, const std::string& parte, std::int64_t bytesMaximos,
                std::int64_t hojasMaximas);

// For each cell format (cellXfs) of the styles part, whether its number format shows a date.
std::vector<bool> leerFormatosFecha(const PaqueteZip& paquete, const std::string& parte,
                                    std::int64_t bytesMaximos, std::int64_t estilosMaximos);

// The shared strings: rich-text runs joined, phonetic runs left out. With `directas`, those of the
// usual plain form are read straight from the bytes.
std::vector<QString> leerCadenas(const PaqueteZip& paquete, const std::string& parte,
                                 std::int64_t bytesMaximos, std::int64_t cadenasMaximas,
                                 std::int64_t bytesPorCadena, bool directas = true);

// How many shared strings this process has read straight from the bytes (for tests).
std::int64_t cadenasLeidasDirecto();

} // namespace tarvix::lector::xlsx
