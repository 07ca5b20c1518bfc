#pragma once

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

struct zip;
struct zip_stat;

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
    // When the part is inflated whole, `entera` (if given) first gets all of it at once, and the
    // part is done when it returns true; otherwise the bytes go to `destino` as ever.
    void leer(const std::string& parte, std::int64_t bytesMaximos,
              const std::function<void(const char*, std::size_t)>& destino,
              const std::function<bool(std::string_view)>& entera = {}) const;

    // Starts inflating `parte` in another thread while other parts are read; the next leer() of
    // it with the same `bytesMaximos` takes the result, and reports its faults then, in order.
    // `despues`, when given, then runs in that thread on the inflated bytes (once they are found
    // whole and within the limits); leer() hands the bytes over as soon as they are inflated, while
    // `despues` may still be running, and waits for it before it returns. `despues` must not throw.
    // False when the part is not inflated ahead (it is then read as ever, and `despues` never runs).
    bool adelantar(const std::string& parte, std::int64_t bytesMaximos,
                   std::function<void(std::string_view)> despues = {});

private:
    std::int64_t indice(const std::string& parte) const;
    // A deflated part inflated in one call into a buffer bounded by the limits (never by what
    // the headers state). Parts it does not take (stored or other methods, larger than is worth
    // holding whole, damaged deflate data, unreadable raw bytes) are streamed by leer(), which
    // reports any damage as it always has.
    struct Entera {
        enum class Estado { Transmitir, Lista, Excede, SumaErronea };
        std::unique_ptr<char[]> crudo;
        std::int64_t comprimido = 0;
        std::uint32_t crc = 0;
        std::int64_t tope = 0;   // the most the limits allow
        std::int64_t limite = 0; // the most held whole: tope, or less for a large part
        std::size_t primerIntento = SIZE_MAX;
        std::unique_ptr<char[]> salida;
        std::size_t bytes = 0;
        Estado estado = Estado::Transmitir;

        std::size_t capacidadInicial() const {
            return std::min(primerIntento, static_cast<std::size_t>(limite)) + 1;
        }
        // Any thread: inflates and checks the checksum.
        void inflar();
        // Throws for a part past a limit or with a wrong checksum; false when it is to be streamed.
        bool entregar(const QString& nombre, std::int64_t bytesMaximos, std::int64_t proporcionMaxima,
                      const std::function<void(const char*, std::size_t)>& destino,
                      const std::function<bool(std::string_view)>& entera) const;
    };
    struct Adelanto {
        std::string parte;
        std::int64_t bytesMaximos = 0;
        std::unique_ptr<Entera> entera;
        std::thread hilo;
        std::exception_ptr error;
        std::promise<void> inflada; // set when `entera` is inflated (or `error` is set)
        ~Adelanto() {
            if (hilo.joinable())
                hilo.join();
        }
    };

    // The raw bytes of a part to be inflated whole, null when it is to be streamed.
    std::unique_ptr<Entera> prepararEntera(std::uint64_t i, const struct zip_stat& st,
                                           std::int64_t bytesMaximos) const;

    zip* m_zip = nullptr;
    std::int64_t m_bytesArchivo = 0;
    Limites m_limites;
    mutable std::unique_ptr<Adelanto> m_adelanto;
};

} // namespace tarvix::lector::xlsx
