// libFuzzer target: the .xls reader. An input is either a compound document as it is, or (any
// other bytes) the Workbook stream that this target puts into a fresh compound document, so that
// mutations of the BIFF records get past the container.
#include "archivofuzz.h"
#include "intake/xls/lectorxls.h"
#include "intake/xls/librobiff.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam) {
    static tarvix::fuzz::ArchivoFuzz archivo("xls");
    static constexpr char kFirmaOle[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (tam >= 8 && std::memcmp(datos, kFirmaOle, 8) == 0) {
        archivo.escribir(datos, tam);
    } else {
        const QByteArray flujo(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tam));
        if (!librobiff::guardarCompuesto(archivo.ruta(), {{QByteArrayLiteral("Workbook"), flujo}}))
            return 0;
    }
    tarvix::fuzz::leerOFallar([&] { return tarvix::lector::leerXls(archivo.ruta()); });
    return 0;
}
