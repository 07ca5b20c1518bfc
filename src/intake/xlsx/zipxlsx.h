#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct zip;

namespace tarvix::lector::xlsx {

// The zip package of a workbook, read part by part with every part's inflated bytes counted as
// they come out of the inflater (the sizes a header states are never trusted).
class PaqueteZip {
public:
    struct Limites {
        std::int64_t partes;
        std::int64_t proporcionMaxima;
        std::int64_t bytesMinimosProporcion;
    };

    // Throws FallaXlsx when the file is not a readable zip or has more entries than allowed.
    PaqueteZip(const QString& ruta, const Limites& limites);
    ~PaqueteZip();
    PaqueteZip(const PaqueteZip&) = delete;
    PaqueteZip& operator=(const PaqueteZip&) = delete;

    // True when the package has the part (names compared without regard to case, as parts are).
    bool tiene(const std::string& parte) const;

    // Streams the inflated bytes of `parte` to `destino` in chunks. Throws FallaXlsx when the part
    // is missing, damaged, encrypted, inflates past `bytesMaximos` or past the allowed ratio.
    void leer(const std::string& parte, std::int64_t bytesMaximos,
              const std::function<void(const char*, std::size_t)>& destino) const;

private:
    std::int64_t indice(const std::string& parte) const;

    zip* m_zip = nullptr;
    Limites m_limites;
};

} // namespace tarvix::lector::xlsx
